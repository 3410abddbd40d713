# A layer's include root is a folder of the build tree that holds links to
# just that layer's source folders, so an include that runs the wrong way
# (the engine reaching for a widget, the toolkit for a window) fails to build.
function(vastrel_layer_root target root)
  file(MAKE_DIRECTORY ${root})
  foreach(folder IN LISTS ARGN)
    get_filename_component(name ${folder} NAME)
    file(CREATE_LINK ${folder} ${root}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
