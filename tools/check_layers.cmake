# Fails when a source file includes a header from a layer above its own. The layers, bottom
# up: records (text input and output) -> physics -> engine -> models (what a front end
# computes) -> gui. Nothing below may know what is built on it, so that Kestrun never drags
# in Qt and the physics stays testable alone. The models are shared by the desktop program
# and the browser edition, so they must not include Qt either (checked below).
# Usage: cmake -DROOT=<source tree> -P check_layers.cmake
if(NOT ROOT)
  message(FATAL_ERROR "check_layers: give -DROOT=<source tree>")
endif()

set(forbidden_records physics engine models gui web tools tests)
set(forbidden_physics engine models gui web tools tests)
set(forbidden_engine models gui web tools tests)
set(forbidden_models gui web tools tests)
set(forbidden_gui web tools tests)

set(violations "")
foreach(layer records physics engine models gui)
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
    # Below gui/ nothing may include Qt: Kestrun runs without it, and the models are
    # compiled to WebAssembly, where there is no Qt.
    if(NOT layer STREQUAL "gui")
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
