# Fails when a source file includes a header from a layer above its own. The layers, bottom
# up: records (text input and output) -> physics -> engine -> models (what a front end
# computes) -> gui. Nothing below may know what is built on it, so that Kestrun never drags
# in Qt and the physics stays testable alone. The models are shared by the desktop program
# and the browser edition, so they must not include Qt either (checked below); the browser's
# bindings stand beside gui/ on the models and may include neither gui/ nor Qt.
# Inside gui/ the folders are layers too: base (services every folder uses) < widgets <
# figures < visual and engine_screen (side by side, neither knowing the other) < forms < app
# (the program's top). A folder of gui/ not named here fails the check, so that a new one is
# given its place.
# Usage: cmake -DROOT=<source tree> -P check_layers.cmake
cmake_minimum_required(VERSION 3.20)
if(NOT ROOT)
  message(FATAL_ERROR "check_layers: give -DROOT=<source tree>")
endif()

# Each layer by its folder, with the folders whose headers it must not include.
set(gui_layers gui/base gui/widgets gui/figures gui/visual gui/engine_screen gui/forms gui/app)
set(forbidden_records physics engine models gui web tools tests)
set(forbidden_physics engine models gui web tools tests)
set(forbidden_engine models gui web tools tests)
set(forbidden_models gui web tools tests)
set(forbidden_gui web tools tests)
set(forbidden_web/bindings gui web/src tools tests)
set(forbidden_gui/base gui/widgets gui/figures gui/visual gui/engine_screen gui/forms gui/app)
set(forbidden_gui/widgets gui/figures gui/visual gui/engine_screen gui/forms gui/app)
set(forbidden_gui/figures gui/visual gui/engine_screen gui/forms gui/app)
set(forbidden_gui/visual gui/engine_screen gui/forms gui/app)
set(forbidden_gui/engine_screen gui/visual gui/forms gui/app)
set(forbidden_gui/forms gui/app)
set(forbidden_gui/app)
# Folders of gui/ that hold no sources.
set(gui_data_folders resources translations)

set(violations "")
file(GLOB gui_entries LIST_DIRECTORIES true RELATIVE ${ROOT}/gui ${ROOT}/gui/*)
foreach(entry IN LISTS gui_entries)
  if(IS_DIRECTORY ${ROOT}/gui/${entry} AND NOT "gui/${entry}" IN_LIST gui_layers
     AND NOT entry IN_LIST gui_data_folders)
    string(APPEND violations "  gui/${entry}: a folder of gui/ without a place among its layers\n")
  endif()
endforeach()

foreach(layer records physics engine models gui web/bindings ${gui_layers})
  file(GLOB_RECURSE sources ${ROOT}/${layer}/*.h ${ROOT}/${layer}/*.cpp)
  foreach(src IN LISTS sources)
    file(STRINGS ${src} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
      foreach(above IN LISTS forbidden_${layer})
        if(header MATCHES "^${above}/")
          file(RELATIVE_PATH rel ${ROOT} ${src})
          string(APPEND violations "  ${rel}: #include \"${header}\" (${layer} must not know ${above})\n")
        endif()
      endforeach()
    endforeach()
    # Outside gui/ nothing may include Qt: Kestrun runs without it, and the models and the
    # bindings are compiled to WebAssembly, where there is no Qt.
    if(NOT layer MATCHES "^gui")
      file(STRINGS ${src} qt_includes REGEX "^[ \t]*#[ \t]*include[ \t]*<Q")
      foreach(line IN LISTS qt_includes)
        file(RELATIVE_PATH rel ${ROOT} ${src})
        string(STRIP "${line}" line)
        string(APPEND violations "  ${rel}: ${line} (${layer} must build without Qt)\n")
      endforeach()
    endif()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "include against the layers:\n${violations}")
endif()
message(STATUS "layers: every include points down")
