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

# quillor_library(<name> <alias> sources...): a subsystem library with its
# public headers at the top of its folder.
function(quillor_library name alias)
  add_library(${name} STATIC ${ARGN})
  add_library(${alias} ALIAS ${name})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  quillor_target(${name})
endfunction()
