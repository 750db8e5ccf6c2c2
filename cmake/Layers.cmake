# Every folder of src/ is a layer and builds into a library of its own. A
# layer sees only the headers of the layers it links: each library gets an
# include root of its own in the build tree that holds links to its folder's
# headers alone, and src/ itself is never on the include path. So an include
# across a forbidden edge fails to build ("No such file"), and only the
# layers that link Qt Widgets can include a widget header.
#
#   brevel_layer(<target> <folder> [LINKS <libraries>...])
#
# builds src/<folder>/*.cpp (not its sub-folders) and links the libraries
# publicly: a layer's headers may use the headers of what it links.
function(brevel_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 layer "" "" "LINKS")
  set(source_folder ${CMAKE_SOURCE_DIR}/src/${folder})
  file(GLOB sources CONFIGURE_DEPENDS ${source_folder}/*.cpp ${source_folder}/*.h)
  if(NOT WIN32)
    list(FILTER sources EXCLUDE REGEX ".*_win\\.cpp$")
  endif()
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  add_library(${target} STATIC ${sources})

  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS ${source_folder}/*.h)
  foreach(header ${headers})
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PUBLIC ${layer_LINKS})
endfunction()
