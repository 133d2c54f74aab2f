# Renders pictures of an animated .glb at chosen frames, through Blender's own glTF importer:
# a check that an exported animation plays in a real client (hands on the weapon, feet on
# the ground). Run headless:
#
#   blender -b -P scripts/blender-anim-shots.py -- FILE.glb ANIMATION OUT_PREFIX [options]
#
# options: --frames F,F,F   animation frames to show (the game's frames, at the file's rate;
#                           default: first, middle, last)
#          --view side|front|quarter|first-person   where the camera stands (default side)
#          --ground         draw the ground plane (z = 0) and keep the camera level with it
#          --size WxH       picture size (default 640x480)
#          --engine E       CYCLES (default, needs no display) or BLENDER_WORKBENCH
#          --fps N          the animation's frame rate (default 30): Blender's frames are then
#                           the game's
# Writes OUT_PREFIX-fNN.png per frame and prints the lowest vertex of each, for the feet check.
import math
import sys

import bpy
import numpy
from mathutils import Vector

numpy.bool = bool  # Blender 3.4's glTF importer still uses numpy.bool, which numpy 1.24 removed


def parse_args():
    argv = sys.argv[sys.argv.index("--") + 1:] if "--" in sys.argv else []
    if len(argv) < 3:
        raise SystemExit("usage: blender -b -P blender-anim-shots.py -- FILE.glb ANIMATION OUT_PREFIX [options]")
    opts = {"glb": argv[0], "anim": argv[1], "out": argv[2], "frames": None, "view": "side",
            "ground": False, "size": (640, 480), "engine": "CYCLES", "fps": 30}
    rest = argv[3:]
    i = 0
    while i < len(rest):
        key = rest[i]
        if key == "--ground":
            opts["ground"] = True
            i += 1
            continue
        value = rest[i + 1]
        if key == "--frames":
            opts["frames"] = [int(f) for f in value.split(",")]
        elif key == "--view":
            opts["view"] = value
        elif key == "--size":
            w, h = value.lower().split("x")
            opts["size"] = (int(w), int(h))
        elif key == "--engine":
            opts["engine"] = value
        elif key == "--fps":
            opts["fps"] = int(value)
        i += 2
    return opts


def find_action(name):
    for action in bpy.data.actions:
        if action.name == name or action.name.startswith(name + "_") or action.name.startswith(name):
            return action
    raise SystemExit("no animation named %s; the file has: %s" % (name, [a.name for a in bpy.data.actions]))


def world_bounds(objects):
    depsgraph = bpy.context.evaluated_depsgraph_get()
    lo = Vector((math.inf,) * 3)
    hi = Vector((-math.inf,) * 3)
    for obj in objects:
        evaluated = obj.evaluated_get(depsgraph)
        mesh = evaluated.to_mesh()
        for v in mesh.vertices:
            p = evaluated.matrix_world @ v.co
            lo = Vector(map(min, lo, p))
            hi = Vector(map(max, hi, p))
        evaluated.to_mesh_clear()
    return lo, hi


def main():
    opts = parse_args()
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    # The importer places keys at time * the scene's rate.
    scene.render.fps = opts["fps"]
    scene.render.fps_base = 1
    bpy.ops.import_scene.gltf(filepath=opts["glb"])
    armatures = [o for o in scene.objects if o.type == "ARMATURE"]
    meshes = [o for o in scene.objects if o.type == "MESH"]
    if not armatures or not meshes:
        raise SystemExit("no armature or no mesh in %s" % opts["glb"])
    armature = armatures[0]
    action = find_action(opts["anim"])
    if armature.animation_data is None:
        armature.animation_data_create()
    for track in list(armature.animation_data.nla_tracks):
        armature.animation_data.nla_tracks.remove(track)
    armature.animation_data.action = action
    first, last = (int(round(v)) for v in action.frame_range)

    frames = opts["frames"] or [first, (first + last) // 2, last]

    # Light, world and camera framing the whole animation.
    scene.world = bpy.data.worlds.new("world")
    scene.world.color = (0.35, 0.37, 0.4)
    sun = bpy.data.objects.new("sun", bpy.data.lights.new("sun", "SUN"))
    sun.data.energy = 4
    sun.rotation_euler = (math.radians(40), math.radians(20), math.radians(30))
    scene.collection.objects.link(sun)

    lo = Vector((math.inf,) * 3)
    hi = Vector((-math.inf,) * 3)
    for f in frames:
        scene.frame_set(f)
        a, b = world_bounds(meshes)
        lo = Vector(map(min, lo, a))
        hi = Vector(map(max, hi, b))
    centre = (lo + hi) / 2
    extent = max((hi - lo).length, 1e-3)

    if opts["ground"]:
        bpy.ops.mesh.primitive_plane_add(size=extent * 4, location=(centre.x, centre.y, 0))
        ground = bpy.context.active_object
        material = bpy.data.materials.new("ground")
        material.diffuse_color = (0.25, 0.5, 0.25, 1)
        material.use_nodes = True
        material.node_tree.nodes["Principled BSDF"].inputs["Base Color"].default_value = (0.25, 0.5, 0.25, 1)
        ground.data.materials.append(material)

    camera = bpy.data.objects.new("camera", bpy.data.cameras.new("camera"))
    scene.collection.objects.link(camera)
    scene.camera = camera
    direction = {"side": Vector((0, -1, 0.15)), "front": Vector((1, 0, 0.15)), "quarter": Vector((0.7, -1, 0.3)),
                 "first-person": Vector((-1, 0, 0.2))}[opts["view"]].normalized()
    camera.location = centre + direction * extent * 1.6
    camera.rotation_euler = (centre - camera.location).to_track_quat("-Z", "Y").to_euler()
    camera.data.clip_end = extent * 20

    scene.render.engine = opts["engine"]
    if opts["engine"] == "BLENDER_WORKBENCH":
        scene.display.shading.light = "STUDIO"
        scene.display.shading.color_type = "TEXTURE"
    if opts["engine"] == "CYCLES":
        scene.cycles.samples = 16
        scene.cycles.device = "CPU"
        scene.cycles.use_denoising = False  # Debian's Blender is built without a denoiser
    scene.render.resolution_x, scene.render.resolution_y = opts["size"]
    scene.render.resolution_percentage = 100
    scene.render.image_settings.file_format = "PNG"

    for f in frames:
        scene.frame_set(f)
        lo_f, _ = world_bounds(meshes)
        print("frame %d: lowest vertex at z = %.3f" % (f, lo_f.z))
        scene.render.filepath = "%s-f%02d.png" % (opts["out"], f)
        bpy.ops.render.render(write_still=True)


main()
