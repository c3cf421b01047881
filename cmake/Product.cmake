# The product's names, in one place: the resource script, the programs, the installers and
# the tests all take them from here (through the configured header ProductInfo.h, or as
# definitions passed to the installer tools). The version is the project's.
set(QUENLOW_PRODUCT_NAME "Quenlow FX Controller")
set(QUENLOW_PUBLISHER "Quenlow")
set(QUENLOW_WINDOW_CAPTION "Quenlow FX Controller -- CyberLink, Magix and VEGAS/OFX")
set(QUENLOW_EXE_BASENAME "QuenlowFXController")
set(QUENLOW_CLI_BASENAME "quenlowfx")
set(QUENLOW_MENU_FOLDER "Quenlow FX")
set(QUENLOW_SHORTCUT_NAME "Quenlow FX Controller.lnk")
set(QUENLOW_UNINSTALLER_NAME "Uninstall Quenlow FX Controller.exe")
set(QUENLOW_UNINSTALL_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\QuenlowFXController")
# The Windows Installer package's upgrade code: it never changes, so that a newer package
# replaces an older one in place.
set(QUENLOW_MSI_UPGRADE_CODE "1165AC77-69C6-4F79-9546-17BCEE084015")
# Below the program files folder.
set(QUENLOW_INSTALL_SUBFOLDER "Quenlow\\FX")
# The same two with their backslashes escaped, for C strings.
string(REPLACE "\\" "\\\\" QUENLOW_UNINSTALL_KEY_C "${QUENLOW_UNINSTALL_KEY}")
string(REPLACE "\\" "\\\\" QUENLOW_INSTALL_SUBFOLDER_C "${QUENLOW_INSTALL_SUBFOLDER}")

set(QUENLOW_VERSION ${PROJECT_VERSION})
string(REPLACE "." "," QUENLOW_VERSION_COMMAS ${PROJECT_VERSION})
# "Version 1.00" as the dialog shows it: major, then minor in two digits.
math(EXPR _minor2 "${PROJECT_VERSION_MINOR}" OUTPUT_FORMAT DECIMAL)
if(_minor2 LESS 10)
  set(_minor2 "0${_minor2}")
endif()
set(QUENLOW_VERSION_SHORT "${PROJECT_VERSION_MAJOR}.${_minor2}")

set(QUENLOW_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_CURRENT_LIST_DIR}/ProductInfo.h.in ${QUENLOW_GENERATED_DIR}/ProductInfo.h @ONLY)

# The dialog list's initialisation data, generated from the one table of render engines:
# each name with its byte length (terminator included), as the resource format wants it.
set(_engines ${PROJECT_SOURCE_DIR}/settings/RenderEngines.def)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${_engines})
file(STRINGS ${_engines} _engine_lines REGEX "^RENDER_ENGINE\\(")
set(_dlginit "// Generated from settings/RenderEngines.def; do not edit.\n")
foreach(_line IN LISTS _engine_lines)
  if(NOT _line MATCHES "^RENDER_ENGINE\\(\"([^\"]*)\"")
    message(FATAL_ERROR "Cannot read the render engine line: ${_line}")
  endif()
  set(_name "${CMAKE_MATCH_1}")
  string(LENGTH "${_name}" _length)
  math(EXPR _length "${_length} + 1")
  string(APPEND _dlginit "    IDC_RENDERER_COMBO, DLGINIT_CB_ADDSTRING, ${_length}L, \"${_name}\\0\",\n")
endforeach()
file(CONFIGURE OUTPUT ${QUENLOW_GENERATED_DIR}/RenderEngineList.rc CONTENT "${_dlginit}" @ONLY)
