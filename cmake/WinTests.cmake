# Windows tests: GoogleTest executables run by ctest through Wine (the toolchain's emulator).
# Each links the program's library and its resources, so windows, menus and dialogs are real.
# Compiled once for all of them: the shared test code, and the resources as plain objects (a
# static library would drop them, as nothing refers to them by name).
add_library(velmora_test_support STATIC ${CMAKE_SOURCE_DIR}/tests/win/test_support.cpp)
target_link_libraries(velmora_test_support PUBLIC velmora_win gtest)
add_library(velmora_resources OBJECT ${RC_FILE})
add_dependencies(velmora_resources velmora_art)

# Keeps the run's Wine desktop open between test executables (started by scripts/test.sh).
add_executable(desktop_holder ${CMAKE_SOURCE_DIR}/tests/win/desktop_holder.cpp)

function(velmora_win_test name)
  add_executable(${name} ${ARGN} $<TARGET_OBJECTS:velmora_resources>)
  target_link_libraries(${name} PRIVATE velmora_test_support)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/win)
  add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.${name} COMMAND ${name})
endfunction()

velmora_win_test(shell_tests
  ${CMAKE_SOURCE_DIR}/tests/win/shell_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/dpi_change_tests.cpp)
velmora_win_test(command_tests ${CMAKE_SOURCE_DIR}/tests/win/command_tests.cpp)
add_dependencies(command_tests dorvex_chm)  # Help Contents opens the dorvex.chm beside the test
velmora_win_test(digest_tests ${CMAKE_SOURCE_DIR}/tests/win/digest_tests.cpp)
velmora_win_test(entry_list_tests
  ${CMAKE_SOURCE_DIR}/tests/win/entry_list_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/name_index_tests.cpp)
velmora_win_test(document_tests
  ${CMAKE_SOURCE_DIR}/tests/win/summary_file_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/document_tests.cpp)
velmora_win_test(operation_tests
  ${CMAKE_SOURCE_DIR}/tests/win/adding_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/verify_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/selection_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/pacing_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/parallel_tests.cpp
  ${CMAKE_SOURCE_DIR}/tests/win/drop_tests.cpp)

# Tests that start the real dorvex.exe as a process of its own.
velmora_win_test(process_tests ${CMAKE_SOURCE_DIR}/tests/win/process_tests.cpp)
target_compile_definitions(process_tests PRIVATE "DORVEX_EXE_UNIX_PATH=\"$<TARGET_FILE:dorvex>\"")
add_dependencies(process_tests dorvex)

# GNU md5sum and the real program read each other's summaries.
find_program(BASH_PROGRAM bash REQUIRED)
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.md5sum_interop
  COMMAND ${BASH_PROGRAM} ${CMAKE_SOURCE_DIR}/tests/interop/md5sum_interop.sh $<TARGET_FILE:process_tests>)

# Saving onto a full filesystem (a tmpfs the script mounts as root).
velmora_win_test(save_fault_tests ${CMAKE_SOURCE_DIR}/tests/win/save_fault_tests.cpp)
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.full_disk_save
  COMMAND ${BASH_PROGRAM} ${CMAKE_SOURCE_DIR}/tests/interop/full_disk.sh $<TARGET_FILE:save_fault_tests>)

velmora_win_test(settings_tests ${CMAKE_SOURCE_DIR}/tests/win/settings_tests.cpp)
target_compile_definitions(settings_tests PRIVATE "DORVEX_EXE_UNIX_PATH=\"$<TARGET_FILE:dorvex>\"")
add_dependencies(settings_tests dorvex)

# The help file: its contents read back by chmlib, and its window in Wine's hh.exe, opened
# directly and by the real program's Help Contents.
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.help_contents
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/help/check_help.py ${HELP_FILE})
velmora_win_test(help_tests ${CMAKE_SOURCE_DIR}/tests/win/help_tests.cpp)
target_compile_definitions(help_tests PRIVATE
  "DORVEX_EXE_UNIX_PATH=\"$<TARGET_FILE:dorvex>\""
  "DORVEX_CHM_UNIX_PATH=\"${HELP_FILE}\""
  "HELP_CONTENTS_UNIX_PATH=\"${CMAKE_SOURCE_DIR}/help/contents.hhc\"")
add_dependencies(help_tests dorvex dorvex_chm)

# The release zip packs the same bytes every time (32-bit build only, the one that ships).
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.reproducible_zip
    COMMAND ${BASH_PROGRAM} ${CMAKE_SOURCE_DIR}/tests/dist/reproducible_zip.sh ${DIST_INPUTS})
endif()

# A 20,000-entry summary verified three times: nothing may accumulate.
velmora_win_test(long_run_tests ${CMAKE_SOURCE_DIR}/tests/win/long_run_tests.cpp)
target_link_libraries(long_run_tests PRIVATE psapi)

# Files deleted, cut, grown, replaced or held open, and folders removed, during verify and add.
velmora_win_test(fault_tests ${CMAKE_SOURCE_DIR}/tests/win/fault_tests.cpp)

# Every test here runs Windows code under Wine but two, which only read the built files. The
# label lets a machine that cannot run one width (a kernel without IA-32 emulation) leave out
# exactly the tests that need it.
get_directory_property(velmora_wine_tests TESTS)
list(REMOVE_ITEM velmora_wine_tests
  ${CMAKE_SYSTEM_PROCESSOR}.help_contents ${CMAKE_SYSTEM_PROCESSOR}.reproducible_zip)
set_tests_properties(${velmora_wine_tests} PROPERTIES LABELS wine-${CMAKE_SYSTEM_PROCESSOR})
