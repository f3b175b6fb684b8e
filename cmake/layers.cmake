# The code is layered; each layer may include only itself and the layers below it:
#   core <- controls <- pages <- results, tools <- app        core <- kernel
# Every target includes through one root ("core/project.h"). The root a target sees is a
# folder of the build that links only the layers it may use, so an include of a higher
# layer fails to compile; the targets link only downward.
function(lumetrix_include_root target)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${root})
  foreach(layer IN LISTS ARGN)
    if(NOT EXISTS ${root}/${layer})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
