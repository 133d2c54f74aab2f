# Installs a finished build into a scratch prefix and checks the result the way a user
# would meet it: the installed program runs on its own, reports the version the build was
# configured with, writes and reads a model; the desktop data lies where desktops look.
#
# cmake -DBUILD_DIR= -DPREFIX= -DBINDIR= -DDATADIR= -DVERSION= -DAPP_ID= -DICON_SIZES=a|b|..
#       -DEXPECT_DESKTOP_DATA=ON|OFF -DEXPECT_GUI=ON|OFF -DAPPSTREAMCLI= -P CheckInstall.cmake

cmake_minimum_required(VERSION 3.25)

set(failures "")
macro(fail text)
  string(APPEND failures "  ${text}\n")
endmacro()

function(run_checked out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(REPLACE ";" " " shown "${ARGN}")
    message(FATAL_ERROR "${shown} failed (status ${status}):\n${out}${err}")
  endif()
  set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${PREFIX})
run_checked(ignored ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX})

# The command-line program.
set(tessary ${PREFIX}/${BINDIR}/tessary)
if(NOT EXISTS ${tessary} OR IS_DIRECTORY ${tessary})
  message(FATAL_ERROR "${tessary} was not installed")
endif()
run_checked(version_text ${tessary} --version)
if(NOT version_text STREQUAL "tessary ${VERSION}\n")
  fail("tessary --version printed \"${version_text}\", expected \"tessary ${VERSION}\"")
endif()

set(work ${PREFIX}/scratch-workdir)
run_checked(ignored ${tessary} example ${work})
run_checked(tree ${tessary} info --workdir ${work} example_crate)
string(REPLACE "\n" ";" tree_lines "${tree}")
list(GET tree_lines 0 root)
if(NOT root STREQUAL "example_crate")
  fail("tessary info: the tree's root is \"${root}\", expected the header's name")
endif()
foreach(expected "  Surfaces" "    example_crate0  [lod 0]" "  Parts (Tags)")
  list(FIND tree_lines "${expected}" found)
  if(found EQUAL -1)
    fail("tessary info: no line \"${expected}\" in:\n${tree}")
  endif()
endforeach()

# The desktop program and its data.
if(EXPECT_GUI)
  if(NOT EXISTS ${PREFIX}/${BINDIR}/tessary-gui)
    fail("tessary-gui was not installed")
  endif()
endif()

if(EXPECT_DESKTOP_DATA)
  set(share ${PREFIX}/${DATADIR})
  set(desktop ${share}/applications/${APP_ID}.desktop)
  if(EXISTS ${desktop})
    file(STRINGS ${desktop} entry)
    foreach(line "Exec=tessary-gui" "Icon=${APP_ID}")
      list(FIND entry "${line}" found)
      if(found EQUAL -1)
        fail("${desktop} lacks the line \"${line}\"")
      endif()
    endforeach()
  else()
    fail("no desktop entry ${desktop}")
  endif()
  foreach(file metainfo/${APP_ID}.metainfo.xml icons/hicolor/scalable/apps/${APP_ID}.svg)
    if(NOT EXISTS ${share}/${file})
      fail("${share}/${file} was not installed")
    endif()
  endforeach()

  # Each PNG must really be the size its folder promises: the signature, then the
  # IHDR chunk's width and height as big-endian 32-bit numbers.
  string(REPLACE "|" ";" sizes "${ICON_SIZES}")
  foreach(size IN LISTS sizes)
    set(png ${share}/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
    if(NOT EXISTS ${png})
      fail("${png} was not installed")
      continue()
    endif()
    file(READ ${png} head LIMIT 24 HEX)
    string(SUBSTRING "${head}" 0 16 signature)
    string(SUBSTRING "${head}" 32 8 width_hex)
    string(SUBSTRING "${head}" 40 8 height_hex)
    math(EXPR width "0x${width_hex}")
    math(EXPR height "0x${height_hex}")
    if(NOT signature STREQUAL "89504e470d0a1a0a" OR NOT width EQUAL size OR NOT height EQUAL size)
      fail("${png} is not a ${size}x${size} PNG (${width}x${height})")
    endif()
  endforeach()

  # The software centres' own check of an installed tree: the metainfo, the desktop entry
  # it launches and the icon that entry names must agree.
  if(NOT APPSTREAMCLI)
    fail("appstreamcli is not installed (Debian package appstream; run scripts/install-deps.sh)")
  else()
    execute_process(COMMAND ${APPSTREAMCLI} validate-tree --no-net --explain ${PREFIX}
      RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
      fail("appstreamcli validate-tree rejected the installed tree:\n${out}${err}")
    endif()
  endif()
endif()

if(failures)
  message(FATAL_ERROR "The installed tree in ${PREFIX} is wrong:\n${failures}")
endif()
message(STATUS "Installed into ${PREFIX} and checked")
