# Runs the layering check on small trees written here, each with one include, and expects it to
# pass or to refuse the tree naming the file and the include.
#   cmake -DCHECK=<cmake/CheckLayering.cmake> -DWORK=<scratch folder> -P CheckLayeringTest.cmake
cmake_policy(VERSION 3.25)

set(failures 0)

# expect(name file include outcome): a tree holding `file` with `#include "<include>"`.
function(expect name file include outcome)
    set(tree "${WORK}/${name}")
    file(REMOVE_RECURSE "${tree}")
    file(WRITE "${tree}/${file}" "#pragma once\n\n#include <string>\n#include \"${include}\"\n")
    # A sound neighbour, so that only the file under test can be the fault.
    file(WRITE "${tree}/model/CGood.cpp" "#include \"model/CGood.h\"\n#include \"framework/CX.h\"\n")
    execute_process(COMMAND ${CMAKE_COMMAND} -DWEVRA_ROOT=${tree} -P ${CHECK}
        RESULT_VARIABLE result ERROR_VARIABLE output)
    if(outcome STREQUAL "pass" AND NOT result EQUAL 0)
        message(SEND_ERROR "${name}: refused a sound tree:\n${output}")
    elseif(outcome STREQUAL "refuse")
        if(result EQUAL 0)
            message(SEND_ERROR "${name}: ${file} including \"${include}\" was let through")
        elseif(NOT output MATCHES "${file}" OR NOT output MATCHES "\"${include}\"")
            message(SEND_ERROR "${name}: the refusal does not name the file and include:\n${output}")
        elseif(output MATCHES "CGood")
            message(SEND_ERROR "${name}: a sound file was named too:\n${output}")
        endif()
    endif()
endfunction()

expect(model_editor model/CBad.h editor/CWevraApp.h refuse)
expect(model_interchange model/CBad.cpp interchange/CLmcImport.h refuse)
expect(framework_resources framework/CBad.cpp resources/StringIds.h refuse)
expect(framework_qt_from_core framework/CBad.h framework/qt/CQtX.h refuse)
expect(model_framework_qt model/CBad.cpp framework/qt/CQtX.h refuse)
expect(analysis_interchange analysis/CBad.cpp interchange/CX.h refuse)
expect(document_editor document/CBad.cpp editor/CX.h refuse)
expect(dialogs_editor dialogs/CBad.cpp editor/CX.h refuse)
expect(resources_model resources/Bad.def model/CX.h refuse)
expect(nested_folder document/parts/CBad.h editor/CX.h refuse)

expect(model_resources model/CGood2.cpp resources/StringIds.h pass)
expect(framework_qt_core framework/qt/CQtGood.cpp framework/CX.h pass)
expect(document_analysis document/CGood2.cpp analysis/CX.h pass)
expect(editor_dialogs editor/CGood2.cpp dialogs/CX.h pass)
expect(editor_framework_qt editor/CGood2.cpp framework/qt/CQtX.h pass)
expect(app_editor app/main.cpp editor/CX.h pass)
expect(outside_layers tests/model/CTest.cpp editor/CX.h pass)
expect(system_header model/CGood2.cpp QtCore/QString pass)
