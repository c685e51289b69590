# Shared build rules: warnings, sanitizers, static Windows links, and the helpers
# that declare libraries, tests and fuzz targets the same way everywhere.

set(VANTOREL_WARNINGS -Wall -Wextra -Wshadow)
if(VANTOREL_WERROR)
  list(APPEND VANTOREL_WARNINGS -Werror)
endif()

add_library(vantorel_options INTERFACE)
target_compile_options(vantorel_options INTERFACE ${VANTOREL_WARNINGS})
if(WIN32)
  # The i686 build starts on XP and Server 2003: its headers refuse the calls those lack, which
  # runtime/NewerApi binds at run time. The x86_64 build starts on Windows 7.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(VANTOREL_WINNT 0x0501)
  else()
    set(VANTOREL_WINNT 0x0601)
  endif()
  target_compile_definitions(vantorel_options INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                             _WIN32_WINNT=${VANTOREL_WINNT} WINVER=${VANTOREL_WINNT})
  # No compiler run-time DLLs beside the executables.
  target_link_options(vantorel_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
if(VANTOREL_SANITIZE)
  target_compile_options(vantorel_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(vantorel_options INTERFACE -fsanitize=address,undefined)
endif()
if(VANTOREL_FUZZ)
  # An undefined-behaviour report stops the run, so that a replayed input fails its test.
  target_compile_options(vantorel_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                         -fno-sanitize-recover=undefined)
  target_link_options(vantorel_options INTERFACE -fsanitize=address,undefined)
endif()

# vantorel_library(name [CORE] SOURCES ... [LIBS ...])
# CORE marks platform-neutral code: no <windows.h>, built by every preset.
function(vantorel_library name)
  cmake_parse_arguments(A "CORE" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC vantorel_options ${A_LIBS})
endfunction()

# vantorel_test(name SOURCES ... [LIBS ...] [CORE] [SERIAL] [RESOURCES ...])
# CORE tests also run natively under the sanitizers; the others run under wine64. SERIAL
# tests drive windows with real keyboard and mouse input, which needs the foreground: they
# run alone, so no other test's window takes the focus from them.
function(vantorel_test name)
  cmake_parse_arguments(A "CORE;SERIAL" "" "SOURCES;LIBS;RESOURCES" ${ARGN})
  if(NOT WIN32 AND NOT A_CORE)
    return()
  endif()
  add_executable(${name} ${A_SOURCES} ${A_RESOURCES})
  if(A_RESOURCES)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/assets)
  endif()
  target_link_libraries(${name} PRIVATE vantorel_options ${A_LIBS} GTest::gtest_main GTest::gmock)
  if(WIN32)
    # Tests are console programs; the manifest resource brings common controls 6 like the programs.
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "VANTOREL_BUILD_DIR=${CMAKE_BINARY_DIR}")
  if(A_SERIAL)
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()

# vantorel_fuzz(name SOURCE file LIBS ... CORPUS dir): the target, and a test that replays
# its seed corpus and then fuzzes for a bounded number of runs.
function(vantorel_fuzz name)
  cmake_parse_arguments(A "" "SOURCE;CORPUS" "LIBS" ${ARGN})
  if(NOT VANTOREL_FUZZ)
    return()
  endif()
  add_executable(${name} ${A_SOURCE})
  target_link_libraries(${name} PRIVATE vantorel_options ${A_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  add_test(NAME ${name}
           COMMAND sh -c "rm -rf '${work}' && mkdir -p '${work}' && cp '${A_CORPUS}'/* '${work}'/ && \"$0\" -runs=20000 -max_len=4096 '${work}' '${A_CORPUS}'"
                   $<TARGET_FILE:${name}>)
endfunction()

# A shipped program carries no debug information nor symbol table: both go to a file beside it
# (`<name>.exe.debug`), which a debugger finds through the program's debug link.
function(vantorel_split_debug target)
  if(NOT CMAKE_OBJCOPY)
    return()
  endif()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug $<TARGET_FILE:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
