# Platform-free sources: no <windows.h> in any of these.
set(CORE_SOURCES
  ${CMAKE_SOURCE_DIR}/common/utf8_text.cpp
  ${CMAKE_SOURCE_DIR}/common/memory_seam.cpp
  ${CMAKE_SOURCE_DIR}/common/paths.cpp
  ${CMAKE_SOURCE_DIR}/common/dpi_scale.cpp
  ${CMAKE_SOURCE_DIR}/digest/md5.cpp
  ${CMAKE_SOURCE_DIR}/digest/digest_kind.cpp
  ${CMAKE_SOURCE_DIR}/digest/file_size.cpp
  ${CMAKE_SOURCE_DIR}/digest/read_hook.cpp
  ${CMAKE_SOURCE_DIR}/digest/reader_count.cpp
  ${CMAKE_SOURCE_DIR}/app/options.cpp
  ${CMAKE_SOURCE_DIR}/app/command_state.cpp
  ${CMAKE_SOURCE_DIR}/app/dpi_rules.cpp
  ${CMAKE_SOURCE_DIR}/summary/summary_line.cpp
  ${CMAKE_SOURCE_DIR}/summary/summary_reader.cpp
  ${CMAKE_SOURCE_DIR}/summary/entry_record.cpp
  ${CMAKE_SOURCE_DIR}/summary/left_out.cpp
  ${CMAKE_SOURCE_DIR}/summary/name_index.cpp
  ${CMAKE_SOURCE_DIR}/summary/document_state.cpp
  ${CMAKE_SOURCE_DIR}/summary/operation_hook.cpp
  ${CMAKE_SOURCE_DIR}/settings/placement.cpp
  ${CMAKE_SOURCE_DIR}/settings/recent_list_rules.cpp
)

# Native tests of the platform-free code.
set(CORE_TEST_SOURCES
  ${CMAKE_SOURCE_DIR}/tests/native/md5_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/digest_kind_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/reader_count_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/utf8_text_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/file_size_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/options_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/command_state_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/dpi_rules_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/paths_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/summary_line_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/entry_record_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/left_out_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/name_index_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/native/settings_rules_test.cpp
)

function(velmora_core_library target)
  add_library(${target} STATIC ${CORE_SOURCES})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR})
endfunction()
