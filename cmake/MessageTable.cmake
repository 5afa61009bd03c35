# The message table has one source, a message-compiler (.mc) file.
#
# vx_message_table(target mc_file) adds to `target` a C++ source generated from it:
# every (id, language, text) entry, each text stored as the message compiler stores
# it (lines joined by CR LF, one CR LF after the last line), for the portable lookup.
#
# vx_message_resource(target mc_file) compiles it with windmc into a Windows message
# table resource linked into `target` (the RC language must be enabled).
#
# Run as a script (cmake -DMC_FILE=... -DOUTPUT=... -P MessageTable.cmake) it writes
# the generated source. It reads the subset of the .mc syntax that the file uses:
# comments, MessageIdTypedef, LanguageNames, MessageId, SymbolicName and Language
# blocks ended by a line holding a single ".".

set(VX_MESSAGE_TABLE_SCRIPT "${CMAKE_CURRENT_LIST_FILE}")

function(vx_message_table target mc_file)
  set(output "${CMAKE_CURRENT_BINARY_DIR}/message_table_data.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}" "-DMC_FILE=${mc_file}" "-DOUTPUT=${output}" -P "${VX_MESSAGE_TABLE_SCRIPT}"
    DEPENDS "${mc_file}" "${VX_MESSAGE_TABLE_SCRIPT}"
    COMMENT "Generating the message table from ${mc_file}"
    VERBATIM)
  target_sources(${target} PRIVATE "${output}")
endfunction()

function(vx_message_resource target mc_file)
  set(dir "${CMAKE_CURRENT_BINARY_DIR}/${target}_messages")
  get_filename_component(stem "${mc_file}" NAME_WE)
  set(rc "${dir}/${stem}.rc")
  # -C 65001: the .mc file is UTF-8; -U: the resource holds UTF-16 texts for FormatMessageW.
  add_custom_command(
    OUTPUT "${rc}" "${dir}/MSG00409.bin" "${dir}/MSG00419.bin"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${dir}"
    COMMAND "${CMAKE_MC_COMPILER}" -C 65001 -U -h "${dir}" -r "${dir}" "${mc_file}"
    DEPENDS "${mc_file}"
    COMMENT "Compiling the message table ${mc_file}"
    VERBATIM)
  # windres looks for the .bin files named in the .rc through its include path.
  set_source_files_properties("${rc}" PROPERTIES
    INCLUDE_DIRECTORIES "${dir}"
    OBJECT_DEPENDS "${dir}/MSG00409.bin;${dir}/MSG00419.bin")
  target_sources(${target} PRIVATE "${rc}")
endfunction()

if(NOT CMAKE_SCRIPT_MODE_FILE)
  return()
endif()

# ---- Script mode: .mc file -> C++ source ---------------------------------------------

file(READ "${MC_FILE}" content)
file(READ "${MC_FILE}" head LIMIT 3 HEX)
if(head STREQUAL "efbbbf")
  string(SUBSTRING "${content}" 3 -1 content)
endif()
string(REPLACE "\r\n" "\n" content "${content}")
# CMake lists split at ";" and group at "[" "]"; stand-ins keep those characters (and
# backslashes) intact until the texts are written.
string(ASCII 1 semicolon)
string(ASCII 2 open_bracket)
string(ASCII 3 close_bracket)
string(ASCII 4 backslash)
string(REPLACE "\\" "${backslash}" content "${content}")
string(REPLACE ";" "${semicolon}" content "${content}")
string(REPLACE "[" "${open_bracket}" content "${content}")
string(REPLACE "]" "${close_bracket}" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

function(mc_fail message)
  message(FATAL_ERROR "${MC_FILE}: line ${line_number}: ${message}")
endfunction()

set(line_number 0)
set(in_text FALSE)
set(message_id "")
set(next_id 0)
set(entries "")
set(entry_count 0)
foreach(line IN LISTS lines)
  math(EXPR line_number "${line_number} + 1")
  if(in_text)
    if(line STREQUAL ".")
      set(in_text FALSE)
      string(REPLACE "${backslash}" "\\\\" text "${text}")
      string(REPLACE "\"" "\\\"" text "${text}")
      string(REPLACE "\t" "\\t" text "${text}")
      string(REPLACE "${semicolon}" ";" text "${text}")
      string(REPLACE "${open_bracket}" "[" text "${text}")
      string(REPLACE "${close_bracket}" "]" text "${text}")
      string(APPEND entries "    {${message_id}u, ${language_id}, \"${text}\"},\n")
      math(EXPR entry_count "${entry_count} + 1")
    else()
      string(APPEND text "${line}\\r\\n")
    endif()
    continue()
  endif()

  string(STRIP "${line}" stripped)
  if(stripped STREQUAL "" OR stripped MATCHES "^${semicolon}")
    continue()
  endif()
  if(NOT stripped MATCHES "^([A-Za-z]+)[ \t]*=[ \t]*(.*)$")
    mc_fail("expected a keyword=value line")
  endif()
  string(TOLOWER "${CMAKE_MATCH_1}" keyword)
  set(value "${CMAKE_MATCH_2}")

  if(keyword STREQUAL "messageidtypedef" OR keyword STREQUAL "symbolicname")
    # Only the generated header of windmc uses them.
  elseif(keyword STREQUAL "languagenames")
    if(NOT value MATCHES "^\\((.*)\\)$")
      mc_fail("LanguageNames needs parentheses")
    endif()
    string(REGEX MATCHALL "[A-Za-z_]+[ \t]*=[ \t]*0[xX][0-9a-fA-F]+" definitions "${CMAKE_MATCH_1}")
    foreach(definition IN LISTS definitions)
      string(REGEX MATCH "^([A-Za-z_]+)[ \t]*=[ \t]*(0[xX][0-9a-fA-F]+)" _ "${definition}")
      set(language_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endforeach()
  elseif(keyword STREQUAL "messageid")
    if(value STREQUAL "")
      set(message_id ${next_id})
    elseif(value MATCHES "^(0[xX][0-9a-fA-F]+|[0-9]+)$")
      math(EXPR message_id "${value}")
    else()
      mc_fail("unreadable MessageId '${value}'")
    endif()
    math(EXPR next_id "${message_id} + 1")
  elseif(keyword STREQUAL "language")
    if(message_id STREQUAL "")
      mc_fail("Language before the first MessageId")
    endif()
    if(NOT DEFINED language_${value})
      mc_fail("language '${value}' is not in LanguageNames")
    endif()
    set(language_id "${language_${value}}")
    set(text "")
    set(in_text TRUE)
  else()
    # Severity, Facility and the like would change the ids the program asks for.
    mc_fail("keyword '${keyword}' is not supported here")
  endif()
endforeach()
if(in_text)
  mc_fail("the last message text has no closing '.' line")
endif()

get_filename_component(mc_name "${MC_FILE}" NAME)
set(source "// Generated from ${mc_name} by MessageTable.cmake: edit the .mc file, not this one.
#include \"core/text/message_table.h\"

namespace {

const MessageTableEntry entries[${entry_count}] = {
${entries}};

} // namespace

std::span<const MessageTableEntry> message_table_entries() { return entries; }
")
file(WRITE "${OUTPUT}" "${source}")
