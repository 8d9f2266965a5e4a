# Fails when a source file includes a header from a layer above its own. The layers, bottom
# up: records (text input and output) -> physics -> engine -> gui. Nothing below may know
# what is built on it, so that Kestrun never drags in Qt and the physics stays testable alone.
# Usage: cmake -DROOT=<source tree> -P check_layers.cmake
if(NOT ROOT)
  message(FATAL_ERROR "check_layers: give -DROOT=<source tree>")
endif()

set(forbidden_records physics engine gui tools tests)
set(forbidden_physics engine gui tools tests)
set(forbidden_engine gui tools tests)
set(forbidden_gui tools tests)

set(violations "")
foreach(layer records physics engine gui)
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
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "include against the layers:\n${violations}")
endif()
message(STATUS "layers: every include points down")
