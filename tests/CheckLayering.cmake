# Fails when an include points up the layers or sideways between panels:
# - a file outside src/app includes the shell (app/...);
# - the core (src/<subsystem>/*, src/cli) includes the shared window layer (gui/) or a panel (*/ui/);
# - the shared window layer includes a panel;
# - a core folder includes a core folder above it in CoreOrder;
# - a panel's ui/ includes a core folder above its own subsystem's;
# - a panel's ui/ includes another panel's ui/, unless the edge is in AllowedPanelEdges.

cmake_policy(SET CMP0057 NEW)

# The core folders from the bottom up. A folder may include the ones before it, never those after it.
set(CoreOrder store settings library editor objects import search export sync cli)

# The few panel-to-panel edges the design keeps, each with why. The tree panel (library/ui) is the hub:
# it owns the selection, start-up and the library's loading and saving, which the other panels read.
set(AllowedPanelEdges
    # The editor colours the selected snippet and takes part in start-up and shut-down.
    "editor/ui -> library/ui"
    # Export and printing walk the selected node's children and records.
    "export/ui -> library/ui"
    # Object commands read the selected record and save the library before they change its file.
    "objects/ui -> library/ui"
    # Search results and bookmarks select tree nodes and follow start-up.
    "search/ui -> library/ui"
    # Comparison, import, FTP and the shared folder reload the library and refill the tree.
    "sync/ui -> library/ui")

# The folder a source file or an include belongs to: "store", "search/ui", "gui", "app", ...
function(layer_of path out)
    if(path MATCHES "^([^/]+/ui)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    elseif(path MATCHES "^([^/]+)/")
        set(${out} "${CMAKE_MATCH_1}" PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# The position of a core folder (or of a panel's subsystem) in CoreOrder; -1 when not listed.
function(core_rank folder out)
    string(REGEX REPLACE "/ui$" "" subsystem "${folder}")
    list(FIND CoreOrder "${subsystem}" rank)
    set(${out} ${rank} PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE sources "${SOURCE_DIR}/*.h" "${SOURCE_DIR}/*.cpp")
set(faults "")
foreach(file ${sources})
    file(RELATIVE_PATH rel "${SOURCE_DIR}" "${file}")
    if(rel MATCHES "^app/")
        continue()
    endif()
    layer_of("${rel}" from)
    file(STRINGS "${file}" includes REGEX "^#include \"")
    foreach(line ${includes})
        string(REGEX REPLACE "^#include \"([^\"]*)\".*" "\\1" included "${line}")
        layer_of("${included}" to)
        if(to STREQUAL "" OR to STREQUAL from)
            continue()
        endif()
        set(fault "")
        if(to STREQUAL "app")
            set(fault "includes the shell")
        elseif(from STREQUAL "gui")
            if(to MATCHES "/ui$")
                set(fault "the shared window layer includes a panel")
            endif()
        elseif(NOT from MATCHES "/ui$")
            # The core knows neither the panels nor the shared window layer.
            if(to STREQUAL "gui" OR to MATCHES "/ui$")
                set(fault "the core includes a window layer")
            else()
                core_rank("${from}" fromRank)
                core_rank("${to}" toRank)
                if(fromRank EQUAL -1 OR toRank EQUAL -1)
                    set(fault "a core folder missing from CoreOrder")
                elseif(toRank GREATER fromRank)
                    set(fault "a core folder includes one above it")
                endif()
            endif()
        elseif(to MATCHES "/ui$")
            if(NOT "${from} -> ${to}" IN_LIST AllowedPanelEdges)
                set(fault "a panel includes another panel (not an allowed edge)")
            endif()
        elseif(NOT to STREQUAL "gui")
            core_rank("${from}" fromRank)
            core_rank("${to}" toRank)
            if(fromRank EQUAL -1 OR toRank EQUAL -1)
                set(fault "a core folder missing from CoreOrder")
            elseif(toRank GREATER fromRank)
                set(fault "a panel includes a core folder above its own")
            endif()
        endif()
        if(fault)
            list(APPEND faults "${rel}: ${line} (${fault})")
        endif()
    endforeach()
endforeach()
if(faults)
    string(REPLACE ";" "\n" text "${faults}")
    message(FATAL_ERROR "Includes that point up the layers or between panels:\n${text}")
endif()
