# Compiler flags shared by every target of the tree.
add_compile_options(-Wall -Wextra)
if(TELLURIO_WERROR)
  add_compile_options(-Werror)
endif()

if(TELLURIO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

if(TELLURIO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(TELLURIO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TELLURIO_FUZZ needs clang (configure with CXX=clang++ CC=clang)")
  endif()
  # Everything is instrumented for coverage; only the fuzz executables link the libFuzzer main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

find_program(TELLURIO_CCACHE ccache)
if(TELLURIO_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${TELLURIO_CCACHE})
  set(CMAKE_C_COMPILER_LAUNCHER ${TELLURIO_CCACHE})
endif()
