# Shared target settings: C++20, warnings, and the optional sanitizer build.

if(QUILLOR_SANITIZE)
  # Directory-wide so that every library, test and tool is instrumented alike.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# quillor_target(<target>): language level and warnings for one of our targets.
function(quillor_target target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# quillor_headers(<target> <PUBLIC|PRIVATE> [PRIVATE_HEADERS header...]): the
# headers of the target's folder, included by their path from the project's
# root ("text/StringManager.h", as the folder is named). The target's own
# sources see every one of them; with PUBLIC, its users see all but the
# PRIVATE_HEADERS, and nothing else of the folder. Each set is a folder of
# links in the build tree, so that a header reached from elsewhere fails to
# build rather than quietly widening a subsystem's face.
function(quillor_headers target visibility)
  cmake_parse_arguments(H "" "" "PRIVATE_HEADERS" ${ARGN})
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(header ${H_PRIVATE_HEADERS})
    if(NOT header IN_LIST headers)
      message(FATAL_ERROR "${folder}: no private header ${header}")
    endif()
  endforeach()
  set(own ${PROJECT_BINARY_DIR}/include/${target}/own)
  set(face ${PROJECT_BINARY_DIR}/include/${target}/face)
  file(REMOVE_RECURSE ${PROJECT_BINARY_DIR}/include/${target})
  file(MAKE_DIRECTORY ${own}/${folder} ${face}/${folder})
  foreach(header ${headers})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${own}/${folder}/${header} SYMBOLIC)
    if(NOT header IN_LIST H_PRIVATE_HEADERS)
      file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${face}/${folder}/${header} SYMBOLIC)
    endif()
  endforeach()
  if(visibility STREQUAL "PUBLIC")
    target_include_directories(${target} PUBLIC ${face} PRIVATE ${own})
  else()
    target_include_directories(${target} PRIVATE ${own})
  endif()
endfunction()

# quillor_library(<name> <alias> sources... [PRIVATE_HEADERS header...]): a
# subsystem library, whose face is its folder's headers but the private ones.
function(quillor_library name alias)
  cmake_parse_arguments(L "" "" "PRIVATE_HEADERS" ${ARGN})
  add_library(${name} STATIC ${L_UNPARSED_ARGUMENTS})
  add_library(${alias} ALIAS ${name})
  quillor_headers(${name} PUBLIC PRIVATE_HEADERS ${L_PRIVATE_HEADERS})
  quillor_target(${name})
endfunction()
