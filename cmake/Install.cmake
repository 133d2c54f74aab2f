# Installing Tessary like any Linux desktop program: both programs under bin/, and with the
# desktop program its desktop entry, its icon in every size the hicolor theme looks for and
# its AppStream metainfo, so that it shows up in the application menu. The same icon is
# compiled into the desktop program for its windows and its About box.
#
# Included at the end of the top-level CMakeLists.txt, once every program target exists.

include(GNUInstallDirs)

# The date of the release that project(VERSION) names, for the metainfo's release list.
set(TESSARY_RELEASE_DATE "2026-12-05")

set(TESSARY_DATA_SOURCE ${CMAKE_SOURCE_DIR}/data)
set(TESSARY_DATA_BINARY ${CMAKE_BINARY_DIR}/data)
set(TESSARY_DESKTOP_FILE ${TESSARY_DATA_BINARY}/${TESSARY_APP_ID}.desktop)
set(TESSARY_METAINFO_FILE ${TESSARY_DATA_BINARY}/${TESSARY_APP_ID}.metainfo.xml)
set(TESSARY_ICON_SVG ${TESSARY_DATA_SOURCE}/icons/tessary.svg)
set(TESSARY_ICON_SIZES 16 24 32 48 64 128 256)

# The identifier, name, version and web page come from the product constants above.
configure_file(${TESSARY_DATA_SOURCE}/tessary.desktop.in ${TESSARY_DESKTOP_FILE} @ONLY)
configure_file(${TESSARY_DATA_SOURCE}/tessary.metainfo.xml.in ${TESSARY_METAINFO_FILE} @ONLY)

install(TARGETS tessary RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tessary-gui)
  install(TARGETS tessary-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

if(TESSARY_BUILD_GUI)
  # The PNG sizes are rendered from the one drawing at build time.
  find_program(TESSARY_RSVG_CONVERT rsvg-convert)
  if(NOT TESSARY_RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert is needed to render the application icon "
      "(Debian package librsvg2-bin; scripts/install-deps.sh installs it), "
      "or configure with -DTESSARY_BUILD_GUI=OFF")
  endif()
  file(MAKE_DIRECTORY ${TESSARY_DATA_BINARY}/icons)
  set(TESSARY_ICON_PNGS)
  foreach(size IN LISTS TESSARY_ICON_SIZES)
    set(png ${TESSARY_DATA_BINARY}/icons/tessary-${size}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${TESSARY_RSVG_CONVERT} --width=${size} --height=${size} --format=png
              --output=${png} ${TESSARY_ICON_SVG}
      DEPENDS ${TESSARY_ICON_SVG}
      COMMENT "Rendering the ${size}x${size} application icon"
      VERBATIM)
    list(APPEND TESSARY_ICON_PNGS ${png})
    install(FILES ${png}
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
      RENAME ${TESSARY_APP_ID}.png)
  endforeach()
  add_custom_target(tessary_icons ALL DEPENDS ${TESSARY_ICON_PNGS})

  install(FILES ${TESSARY_ICON_SVG}
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
    RENAME ${TESSARY_APP_ID}.svg)
  install(FILES ${TESSARY_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TESSARY_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The desktop program carries the icon as Qt resources ":/icons/tessary.svg" and
# ":/icons/tessary-<size>.png". The resource source is generated here, beside the rules
# that render the PNGs, and reaches the program through a small object library.
if(TARGET tessary-gui)
  set(qrc ${TESSARY_DATA_BINARY}/tessary_app_icon.qrc)
  set(qrc_entries "    <file alias=\"tessary.svg\">${TESSARY_ICON_SVG}</file>\n")
  foreach(size IN LISTS TESSARY_ICON_SIZES)
    string(APPEND qrc_entries
      "    <file alias=\"tessary-${size}.png\">${TESSARY_DATA_BINARY}/icons/tessary-${size}.png</file>\n")
  endforeach()
  file(CONFIGURE OUTPUT ${qrc} CONTENT
    "<RCC>\n  <qresource prefix=\"/icons\">\n${qrc_entries}  </qresource>\n</RCC>\n")
  set(qrc_source ${TESSARY_DATA_BINARY}/qrc_tessary_app_icon.cpp)
  add_custom_command(OUTPUT ${qrc_source}
    COMMAND Qt6::rcc --name tessary_app_icon --output ${qrc_source} ${qrc}
    DEPENDS ${qrc} ${TESSARY_ICON_SVG} ${TESSARY_ICON_PNGS}
    COMMENT "Compiling the application icon into Qt resources"
    VERBATIM)
  add_library(tessary_app_icon OBJECT ${qrc_source})
  target_link_libraries(tessary_app_icon PRIVATE Qt6::Core)
  target_link_libraries(tessary-gui PRIVATE tessary_app_icon)
endif()

if(TESSARY_BUILD_TESTS)
  # The desktop entry and the metainfo must pass the checks that desktops and software
  # centres apply. A missing checker fails the test: install-deps.sh installs both.
  find_program(TESSARY_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(TESSARY_APPSTREAMCLI appstreamcli)
  set(check_tool ${CMAKE_SOURCE_DIR}/tests/install/RunChecker.cmake)
  add_test(NAME desktop_entry_is_valid COMMAND ${CMAKE_COMMAND}
    -DCHECKER=${TESSARY_DESKTOP_FILE_VALIDATE} -DPACKAGE=desktop-file-utils
    -DARGS=${TESSARY_DESKTOP_FILE} "-DFAIL_REGEX=error:|warning:" -P ${check_tool})
  add_test(NAME metainfo_is_valid COMMAND ${CMAKE_COMMAND}
    -DCHECKER=${TESSARY_APPSTREAMCLI} -DPACKAGE=appstream
    "-DARGS=validate|--no-net|--explain|${TESSARY_METAINFO_FILE}" -P ${check_tool})

  # Installs the build into a scratch prefix and runs the installed program there.
  set(expect_gui OFF)
  if(TARGET tessary-gui)
    set(expect_gui ON)
  endif()
  string(REPLACE ";" "|" icon_sizes "${TESSARY_ICON_SIZES}")
  add_test(NAME install_into_prefix COMMAND ${CMAKE_COMMAND}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DPREFIX=${CMAKE_BINARY_DIR}/install-check
    -DBINDIR=${CMAKE_INSTALL_BINDIR}
    -DDATADIR=${CMAKE_INSTALL_DATADIR}
    -DVERSION=${PROJECT_VERSION}
    -DAPP_ID=${TESSARY_APP_ID}
    "-DICON_SIZES=${icon_sizes}"
    -DEXPECT_DESKTOP_DATA=${TESSARY_BUILD_GUI}
    -DEXPECT_GUI=${expect_gui}
    -DAPPSTREAMCLI=${TESSARY_APPSTREAMCLI}
    -P ${CMAKE_SOURCE_DIR}/tests/install/CheckInstall.cmake)
  set_tests_properties(install_into_prefix PROPERTIES TIMEOUT 300)
endif()
