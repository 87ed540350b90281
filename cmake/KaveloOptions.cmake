# One place for the compiler settings of every target of the project.
add_library(kavelo_options INTERFACE)
target_compile_features(kavelo_options INTERFACE cxx_std_20)
target_compile_definitions(kavelo_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CONTEXTLESS_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(kavelo_options INTERFACE
    -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor -Wshadow -Wformat=2 -Woverloaded-virtual)
  # Hardening of the program as shipped: stack canaries, and checked string
  # and memory calls where the size is known. Fortify needs the optimiser and
  # would stand in the way of the sanitizers' own checks.
  if(NOT KAVELO_SANITIZE AND NOT KAVELO_FUZZ)
    target_compile_options(kavelo_options INTERFACE -fstack-protector-strong
      $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
  endif()
endif()
if(KAVELO_WERROR)
  target_compile_options(kavelo_options INTERFACE $<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>)
endif()
# The sanitizers' builds: -O1 keeps the reports exact and the build quick;
# line tables are all their reports need.
if(KAVELO_SANITIZE)
  target_compile_options(kavelo_options INTERFACE -O1 -g1)
endif()
if(KAVELO_SANITIZE STREQUAL "address")
  target_compile_options(kavelo_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(kavelo_options INTERFACE -fsanitize=address,undefined)
elseif(KAVELO_SANITIZE STREQUAL "thread")
  target_compile_options(kavelo_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(kavelo_options INTERFACE -fsanitize=thread)
elseif(KAVELO_SANITIZE)
  message(FATAL_ERROR "KAVELO_SANITIZE is address or thread, not ${KAVELO_SANITIZE}")
endif()
if(KAVELO_FUZZ)
  target_compile_options(kavelo_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  target_link_options(kavelo_options INTERFACE -fsanitize=address,undefined)
endif()
