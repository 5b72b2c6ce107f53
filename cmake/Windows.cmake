# MinGW-w64 build: the program, its Win32 library and the tests run under Wine.
add_compile_options(-Wall -Wextra -O2)
add_compile_definitions(_WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
# Generic code generation only: the shipped build must run on any x86 of its width.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  add_compile_options(-march=i686 -mtune=generic -msse2 -mfpmath=sse)
  set(MANIFEST_ARCH "X86")
else()
  set(MANIFEST_ARCH "amd64")
endif()
# Static runtime, so dorvex.exe and the tests run alone.
add_link_options(-static -static-libgcc -static-libstdc++)

include(cmake/WinSources.cmake)

# Pictures: generated from their text form at build time.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(ART_DIR ${CMAKE_BINARY_DIR}/art)
set(ART_FILES ${ART_DIR}/toolbar.bmp ${ART_DIR}/toolbar_hot.bmp ${ART_DIR}/state.bmp ${ART_DIR}/dorvex.ico
  ${ART_DIR}/toolbar_150.bmp ${ART_DIR}/toolbar_hot_150.bmp ${ART_DIR}/state_150.bmp
  ${ART_DIR}/toolbar_200.bmp ${ART_DIR}/toolbar_hot_200.bmp ${ART_DIR}/state_200.bmp)
file(GLOB ART_SOURCES ${CMAKE_SOURCE_DIR}/resources/art/*)
add_custom_command(OUTPUT ${ART_FILES}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/resources/make_art.py ${ART_DIR}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_art.py ${ART_SOURCES}
  COMMENT "Drawing the toolbar, state and icon pictures")
add_custom_target(velmora_art DEPENDS ${ART_FILES})
configure_file(${CMAKE_SOURCE_DIR}/resources/dorvex.manifest.in ${ART_DIR}/dorvex.manifest @ONLY)

# bcrypt: Windows' CNG, which computes the SHA digests.
set(WIN_LIBS comctl32 comdlg32 shell32 ole32 gdi32 user32 kernel32 uuid bcrypt)

velmora_core_library(velmora_core)
add_library(velmora_win STATIC ${WIN_SOURCES})
target_include_directories(velmora_win PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(velmora_win PUBLIC velmora_core ${WIN_LIBS})

set(RC_FILE ${CMAKE_SOURCE_DIR}/resources/dorvex.rc)
set_source_files_properties(${RC_FILE} PROPERTIES
  OBJECT_DEPENDS "${ART_FILES};${CMAKE_SOURCE_DIR}/resources/resource.h;${ART_DIR}/dorvex.manifest")
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${ART_DIR} -I${CMAKE_SOURCE_DIR}")

add_executable(dorvex WIN32 ${CMAKE_SOURCE_DIR}/app/main.cpp ${RC_FILE})
add_dependencies(dorvex velmora_art)
target_link_libraries(dorvex PRIVATE velmora_win)
# No link time in the PE header: the same sources give the same dorvex.exe, so the release zip
# is reproducible.
target_link_options(dorvex PRIVATE -Wl,--no-insert-timestamp)

# The help file beside dorvex.exe, where F1 looks for it: the pages of help/ and the screenshot
# of docs/, compiled by Free Pascal's chmcmd (fp-utils).
find_program(CHMCMD_PROGRAM chmcmd REQUIRED)
file(GLOB HELP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/help/*)
set(HELP_PICTURE ${CMAKE_SOURCE_DIR}/docs/main-window.png)
set(HELP_FILE ${CMAKE_BINARY_DIR}/dorvex.chm)
add_custom_command(OUTPUT ${HELP_FILE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/scripts/make_chm.py --chmcmd ${CHMCMD_PROGRAM}
          ${CMAKE_SOURCE_DIR}/help ${HELP_PICTURE} ${HELP_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make_chm.py ${HELP_SOURCES} ${HELP_PICTURE}
  COMMENT "Compiling the help file dorvex.chm")
add_custom_target(dorvex_chm ALL DEPENDS ${HELP_FILE})
add_dependencies(dorvex dorvex_chm)

# The release zip of the shipped 32-bit program (make dist): dorvex.exe, its help, README and
# LICENSE, versioned by the project version.
find_program(BASH_PROGRAM bash REQUIRED)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
  set(VELMORA_DIST_DIR ${CMAKE_SOURCE_DIR}/dist CACHE PATH "Folder of the release zip")
  set(DIST_INPUTS ${PROJECT_VERSION} $<TARGET_FILE:dorvex> ${HELP_FILE}
      ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE)
  add_custom_target(dist
    COMMAND ${BASH_PROGRAM} ${CMAKE_SOURCE_DIR}/scripts/package.sh ${DIST_INPUTS} ${VELMORA_DIST_DIR}
    VERBATIM)
  add_dependencies(dist dorvex dorvex_chm)
endif()

# GoogleTest for Windows, from the Debian sources.
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The platform-free tests run under Wine as well: same code, other compiler and C library.
add_executable(core_tests ${CORE_TEST_SOURCES})
target_link_libraries(core_tests PRIVATE velmora_core gtest_main)
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.core_tests COMMAND core_tests)

include(cmake/WinTests.cmake)
