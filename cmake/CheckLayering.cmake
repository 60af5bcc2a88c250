# The folders are layers and every include points down. Each folder lists the folders its sources
# and headers may include from (besides itself); resources/ holds ids and texts, which are data
# for the model and everything above it but unknown to the framework. Tools, tests and
# benchmarks sit outside the layers.
#
# Included by the build, it defines wevra_check_layering(root) and wevra_layering_sources(root
# out); run as a script (cmake -DWEVRA_ROOT=<tree> -P CheckLayering.cmake) it checks that tree.
# Either way an upward include fails with every offending file and include named.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    cmake_policy(VERSION 3.25)
endif()

set(WEVRA_LAYERS framework framework/qt model analysis interchange document gridctrl dialogs
    editor app resources)
set(WEVRA_LAYER_framework "")
set(WEVRA_LAYER_framework/qt framework)
set(WEVRA_LAYER_model framework resources)
set(WEVRA_LAYER_analysis model framework resources)
set(WEVRA_LAYER_interchange model framework resources)
set(WEVRA_LAYER_document analysis interchange model framework resources)
set(WEVRA_LAYER_gridctrl document analysis interchange model framework/qt framework resources)
set(WEVRA_LAYER_dialogs gridctrl document analysis interchange model framework/qt framework
    resources)
set(WEVRA_LAYER_editor dialogs gridctrl document analysis interchange model framework/qt
    framework resources)
set(WEVRA_LAYER_app editor dialogs gridctrl document analysis interchange model framework/qt
    framework resources)
set(WEVRA_LAYER_resources "")

# The layer of a path relative to the root ("framework/qt/CQtX.h" -> framework/qt); empty when
# the path lies in no layer.
function(wevra_layer_of path out)
    set(layer "")
    foreach(candidate ${WEVRA_LAYERS})
        if(path MATCHES "^${candidate}/")
            string(LENGTH "${candidate}" length)
            string(LENGTH "${layer}" best)
            if(length GREATER best)
                set(layer ${candidate})
            endif()
        endif()
    endforeach()
    set(${out} "${layer}" PARENT_SCOPE)
endfunction()

# Every source and header of the layers under `root`.
function(wevra_layering_sources root out)
    set(files "")
    foreach(layer ${WEVRA_LAYERS})
        file(GLOB_RECURSE found "${root}/${layer}/*.h" "${root}/${layer}/*.cpp"
            "${root}/${layer}/*.def")
        list(APPEND files ${found})
    endforeach()
    list(REMOVE_DUPLICATES files)
    set(${out} ${files} PARENT_SCOPE)
endfunction()

function(wevra_check_layering root)
    wevra_layering_sources("${root}" files)
    set(faults "")
    foreach(file ${files})
        file(RELATIVE_PATH relative "${root}" "${file}")
        wevra_layer_of("${relative}" layer)
        file(STRINGS "${file}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+/[^\"]*\"")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" target "${line}")
            wevra_layer_of("${target}" target_layer)
            if(target_layer STREQUAL "" OR target_layer STREQUAL layer
               OR target_layer IN_LIST WEVRA_LAYER_${layer})
                continue()
            endif()
            string(APPEND faults "\n  ${relative} (${layer}) includes \"${target}\"")
        endforeach()
    endforeach()
    if(faults)
        message(FATAL_ERROR "Includes that point up the layers:${faults}")
    endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    if(NOT WEVRA_ROOT)
        message(FATAL_ERROR "usage: cmake -DWEVRA_ROOT=<source tree> -P CheckLayering.cmake")
    endif()
    wevra_check_layering("${WEVRA_ROOT}")
endif()
