# Reading the catalogues po/<code>.po of the languages listed in po/LINGUAS,
# for the build's generated tables. Only what the catalogues use is read:
# msgid and msgstr with their continuation lines; entries marked fuzzy, left
# untranslated or obsolete (#~) are skipped, so that the program shows the
# Russian source for them (the test run fails on any of them).
#
# A semicolon and brackets are held as placeholders while a file is a CMake
# list and put back in each text.

# The codes of po/LINGUAS, in its order: one a line, "#" starts a comment.
function(orvanta_catalogue_languages po_dir out)
  file(STRINGS ${po_dir}/LINGUAS lines)
  set(codes)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*" "" line "${line}")
    string(STRIP "${line}" line)
    if(NOT line STREQUAL "")
      list(APPEND codes ${line})
    endif()
  endforeach()
  set(${out} ${codes} PARENT_SCOPE)
endfunction()

# The manuals the program ships, as file names in app/: help.txt, the Russian
# source, and help.<code>.txt for each language of po/LINGUAS that has one. A
# language without its own manual is shown the English one, or else the
# Russian (files/manual_and_number.cpp; the web's help.js alike).
function(orvanta_manuals source_dir out)
  orvanta_catalogue_languages(${source_dir}/po codes)
  set(names help.txt)
  foreach(code IN LISTS codes)
    if(EXISTS ${source_dir}/app/help.${code}.txt)
      list(APPEND names help.${code}.txt)
    endif()
  endforeach()
  set(${out} ${names} PARENT_SCOPE)
endfunction()

# Sets <prefix>_COUNT and, for i from 0, <prefix>_ID_<i> and <prefix>_STR_<i>:
# the texts as the .po file writes them between the quotes (C escapes kept).
function(orvanta_read_catalogue file prefix)
  file(READ ${file} content)
  string(REPLACE ";" "@ORVANTA_SEMICOLON@" content "${content}")
  string(REPLACE "[" "@ORVANTA_OPEN@" content "${content}")
  string(REPLACE "]" "@ORVANTA_CLOSE@" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  list(APPEND lines "")
  set(count 0)
  set(field "")
  set(id "")
  set(str "")
  set(fuzzy 0)
  set(have_str 0)
  foreach(line IN LISTS lines)
    string(STRIP "${line}" line)
    set(finish 0)
    if(line STREQUAL "" OR line MATCHES "^msgctxt " OR (line MATCHES "^msgid " AND have_str))
      set(finish 1)
    endif()
    if(finish AND have_str)
      if(NOT id STREQUAL "" AND NOT str STREQUAL "" AND NOT fuzzy)
        foreach(var id str)
          string(REPLACE "@ORVANTA_SEMICOLON@" ";" ${var} "${${var}}")
          string(REPLACE "@ORVANTA_OPEN@" "[" ${var} "${${var}}")
          string(REPLACE "@ORVANTA_CLOSE@" "]" ${var} "${${var}}")
        endforeach()
        set(${prefix}_ID_${count} "${id}" PARENT_SCOPE)
        set(${prefix}_STR_${count} "${str}" PARENT_SCOPE)
        math(EXPR count "${count} + 1")
      endif()
      set(id "")
      set(str "")
      set(fuzzy 0)
      set(have_str 0)
      set(field "")
    endif()
    if(line MATCHES "^#,.*fuzzy")
      set(fuzzy 1)
    elseif(line MATCHES "^#")
      # a comment, a reference or an obsolete entry
    elseif(line MATCHES "^msgctxt \"(.*)\"$")
      set(field ctxt)
    elseif(line MATCHES "^msgid \"(.*)\"$")
      set(field id)
      set(id "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^msgstr \"(.*)\"$")
      set(field str)
      set(str "${CMAKE_MATCH_1}")
      set(have_str 1)
    elseif(line MATCHES "^\"(.*)\"$")
      if(field STREQUAL "id")
        string(APPEND id "${CMAKE_MATCH_1}")
      elseif(field STREQUAL "str")
        string(APPEND str "${CMAKE_MATCH_1}")
      endif()
    endif()
  endforeach()
  set(${prefix}_COUNT ${count} PARENT_SCOPE)
endfunction()

# `content` with every double-quoted text that the catalogue `po_file`
# translates replaced by its translation, in `out`: the build's way to make a
# language's copy of a file whose texts are written in Russian (a web app
# manifest).
function(orvanta_translate_quoted po_file content out)
  orvanta_read_catalogue(${po_file} entry)
  if(entry_COUNT GREATER 0)
    math(EXPR last "${entry_COUNT} - 1")
    foreach(i RANGE ${last})
      string(REPLACE "\"${entry_ID_${i}}\"" "\"${entry_STR_${i}}\"" content "${content}")
    endforeach()
  endif()
  set(${out} "${content}" PARENT_SCOPE)
endfunction()

# `content` (a page) with each paragraph written <p lang="ru" data-tr>TEXT</p>
# followed by the same paragraph in every language of the list, its text from
# that language's catalogue, in `out`: for what a page shows before or without
# its script (its <noscript> notice), which the script cannot translate.
function(orvanta_every_language po_dir content out)
  orvanta_catalogue_languages(${po_dir} codes)
  string(REGEX MATCHALL "<p lang=\"ru\" data-tr>[^<]*</p>" paragraphs "${content}")
  foreach(paragraph IN LISTS paragraphs)
    string(REGEX REPLACE "^<p lang=\"ru\" data-tr>(.*)</p>$" "\\1" source "${paragraph}")
    set(written "${paragraph}")
    foreach(code IN LISTS codes)
      orvanta_read_catalogue(${po_dir}/${code}.po entry)
      orvanta_look_up(entry "${source}" translation)
      string(APPEND written "<p lang=\"${code}\">${translation}</p>")
    endforeach()
    string(REPLACE "${paragraph}" "${written}" content "${content}")
  endforeach()
  set(${out} "${content}" PARENT_SCOPE)
endfunction()

# The translation of `source` in a catalogue read by orvanta_read_catalogue
# under `prefix` (in the caller's scope), or `source` itself where it has none.
function(orvanta_look_up prefix source out)
  set(translation "${source}")
  if(${prefix}_COUNT GREATER 0)
    math(EXPR last "${${prefix}_COUNT} - 1")
    foreach(i RANGE ${last})
      if("${${prefix}_ID_${i}}" STREQUAL "${source}")
        set(translation "${${prefix}_STR_${i}}")
        break()
      endif()
    endforeach()
  endif()
  set(${out} "${translation}" PARENT_SCOPE)
endfunction()

# A desktop entry or an AppStream file in every language, from its template
# written in Russian, the source: each text with Cyrillic (a desktop entry's
# "Key=value", an AppStream <summary>, <p> or <caption>, its white space
# folded) is written in English as the untranslated value, which every
# language without its own is shown, followed by the Russian and each other
# language of po/LINGUAS as its translations ("Key[ru]=", xml:lang="ru").
# A text a catalogue lacks stays Russian there (the texts' check fails on it).
#   orvanta_translate_entries(<po dir> <template content> <out variable>)
function(orvanta_translate_entries po_dir content out)
  orvanta_catalogue_languages(${po_dir} codes)
  set(others)
  foreach(code IN LISTS codes)
    orvanta_read_catalogue(${po_dir}/${code}.po ${code})
    if(NOT code STREQUAL "en")
      list(APPEND others ${code})
    endif()
  endforeach()
  if(NOT "en" IN_LIST codes)
    message(FATAL_ERROR "po/LINGUAS: desktop entries need the English catalogue for their untranslated values")
  endif()
  # Cyrillic letters start with these bytes in UTF-8.
  string(ASCII 208 d0)
  string(ASCII 209 d1)
  set(cyrillic "[${d0}${d1}]")
  string(REPLACE ";" "@ORVANTA_SEMICOLON@" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(written "")
  set(pending "")  # an AppStream element's lines until it closes
  foreach(line IN LISTS lines)
    if(NOT pending STREQUAL "")
      string(APPEND pending " ${line}")
      set(line "${pending}")
    endif()
    if(line MATCHES "^([A-Za-z]+)=(.*${cyrillic}.*)$")
      set(key "${CMAKE_MATCH_1}")
      string(REPLACE "@ORVANTA_SEMICOLON@" ";" source "${CMAKE_MATCH_2}")
      orvanta_look_up(en "${source}" text)
      string(APPEND written "${key}=${text}\n${key}[ru]=${source}\n")
      foreach(code IN LISTS others)
        orvanta_look_up(${code} "${source}" text)
        string(APPEND written "${key}[${code}]=${text}\n")
      endforeach()
    elseif(line MATCHES "^( *)<(summary|p|caption)>([^<]*)$")
      set(pending "${line}")
    elseif(line MATCHES "^( *)<(summary|p|caption)>([^<]*${cyrillic}[^<]*)</[a-z]+>$")
      set(pending "")
      set(indent "${CMAKE_MATCH_1}")
      set(tag "${CMAKE_MATCH_2}")
      string(REGEX REPLACE "[ \t]+" " " source "${CMAKE_MATCH_3}")
      string(STRIP "${source}" source)
      string(REPLACE "@ORVANTA_SEMICOLON@" ";" source "${source}")
      orvanta_look_up(en "${source}" text)
      string(APPEND written "${indent}<${tag}>${text}</${tag}>\n${indent}<${tag} xml:lang=\"ru\">${source}</${tag}>\n")
      foreach(code IN LISTS others)
        orvanta_look_up(${code} "${source}" text)
        string(APPEND written "${indent}<${tag} xml:lang=\"${code}\">${text}</${tag}>\n")
      endforeach()
    else()
      set(pending "")
      string(REPLACE "@ORVANTA_SEMICOLON@" ";" line "${line}")
      string(APPEND written "${line}\n")
    endif()
  endforeach()
  # The split leaves one line after the last line end.
  string(REGEX REPLACE "\n\n$" "\n" written "${written}")
  set(${out} "${written}" PARENT_SCOPE)
endfunction()
