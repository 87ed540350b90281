# One place for the compiler settings of every target of the project.
add_library(kavelo_options INTERFACE)
target_compile_features(kavelo_options INTERFACE cxx_std_20)
target_compile_definitions(kavelo_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(kavelo_options INTERFACE
    -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor)
endif()
if(MSVC)
  target_compile_options(kavelo_options INTERFACE /W4 /utf-8)
endif()
if(KAVELO_WERROR)
  target_compile_options(kavelo_options INTERFACE $<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>)
endif()
if(KAVELO_SANITIZE)
  target_compile_options(kavelo_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kavelo_options INTERFACE -fsanitize=address,undefined)
endif()
if(KAVELO_FUZZ)
  target_compile_options(kavelo_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(kavelo_options INTERFACE -fsanitize=address,undefined)
endif()
