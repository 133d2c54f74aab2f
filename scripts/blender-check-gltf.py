# Imports glTF files exported by `tessary export-gltf` into Blender, headless, and checks
# what a modder would get: the armature's bone count against the model's parts file, and
# that every vertex of the skinned meshes lies in some vertex group (so every vertex follows
# a bone). With --shots DIR it also renders a picture of each model (Workbench, textured).
#
#   blender -b --python-exit-code 1 -P scripts/blender-check-gltf.py -- \
#       [--parts-dir WORKDIR/xmodelparts] [--shots DIR] FILE.glb...
#
# The parts file of a .glb written with the default level is named like the file. Prints one
# line per file; exits 1 when any check fails.
import argparse
import math
import os
import struct
import sys

import numpy

# Debian 12's Blender 3.4 glTF importer still calls numpy.bool, which numpy 1.24 removed.
if not hasattr(numpy, "bool"):
    numpy.bool = bool

import bpy  # noqa: E402
from mathutils import Vector  # noqa: E402


def parts_bone_count(parts_dir, stem):
    """Roots plus bone records of the parts file named `stem` (any letter case), or None."""
    if not parts_dir or not os.path.isdir(parts_dir):
        return None
    for name in sorted(os.listdir(parts_dir)):
        if name.lower() == stem.lower():
            with open(os.path.join(parts_dir, name), "rb") as f:
                head = f.read(6)
            if len(head) < 6:
                return None
            _, records, roots = struct.unpack("<HHH", head)
            return records + roots
    return None


def import_file(path):
    bpy.ops.wm.read_factory_settings(use_empty=True)
    bpy.ops.import_scene.gltf(filepath=path)


def check_scene():
    bones = sum(len(o.data.bones) for o in bpy.data.objects if o.type == "ARMATURE")
    vertices = outside = 0
    for o in bpy.data.objects:
        if o.type != "MESH":
            continue
        for v in o.data.vertices:
            vertices += 1
            if not any(g.weight > 0 for g in v.groups):
                outside += 1
    return bones, vertices, outside


def frame_and_render(path_png):
    scene = bpy.context.scene
    depsgraph = bpy.context.evaluated_depsgraph_get()
    low = Vector((math.inf,) * 3)
    high = Vector((-math.inf,) * 3)
    for o in bpy.data.objects:
        if o.type != "MESH":
            continue
        mesh = o.evaluated_get(depsgraph).to_mesh()  # posed by the armature
        for v in mesh.vertices:
            p = o.matrix_world @ v.co
            low = Vector(map(min, low, p))
            high = Vector(map(max, high, p))
        o.evaluated_get(depsgraph).to_mesh_clear()
    if low.x == math.inf:
        return False
    centre = (low + high) / 2
    radius = max((high - low).length / 2, 1e-3)

    camera_data = bpy.data.cameras.new("camera")
    camera_data.lens = 50
    camera_data.clip_end = radius * 20
    camera_data.clip_start = radius / 100
    camera = bpy.data.objects.new("camera", camera_data)
    scene.collection.objects.link(camera)
    # The games face +X with Z up; look at the model's front from a little to its left and above.
    direction = Vector((1.0, 0.45, 0.35)).normalized()
    camera.location = centre + direction * radius * 3.2
    camera.rotation_euler = (centre - camera.location).to_track_quat("-Z", "Y").to_euler()
    scene.camera = camera

    scene.render.engine = "BLENDER_WORKBENCH"
    scene.display.shading.light = "STUDIO"
    scene.display.shading.color_type = "TEXTURE"
    scene.render.resolution_x = 640
    scene.render.resolution_y = 640
    scene.render.film_transparent = False
    scene.render.image_settings.file_format = "PNG"
    scene.render.filepath = path_png
    bpy.ops.render.render(write_still=True)
    return True


def main():
    argv = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    parser = argparse.ArgumentParser(prog="blender-check-gltf.py")
    parser.add_argument("--parts-dir")
    parser.add_argument("--shots")
    parser.add_argument("files", nargs="+")
    args = parser.parse_args(argv)

    failed = False
    for path in args.files:
        stem = os.path.splitext(os.path.basename(path))[0]
        import_file(path)
        bones, vertices, outside = check_scene()
        expected = parts_bone_count(args.parts_dir, stem)
        ok = outside == 0 and (expected is None or bones == expected)
        failed |= not ok
        line = f"{os.path.basename(path)}: {bones} bones"
        line += f" (parts file: {expected})" if expected is not None else ""
        line += f", {vertices} vertices, {outside} outside every vertex group"
        if args.shots:
            os.makedirs(args.shots, exist_ok=True)
            shot = os.path.join(os.path.abspath(args.shots), stem + "-blender.png")
            if frame_and_render(shot):
                line += f", picture {shot}"
        print(("OK   " if ok else "FAIL ") + line, flush=True)
    sys.exit(1 if failed else 0)


main()
