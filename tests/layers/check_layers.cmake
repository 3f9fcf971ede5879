# Fails when a file includes a header from a layer it must not depend on:
# the core, the action, the companion and the page never see Qt or the window;
# the core never sees the layers above it; the action never sees a front end.
#   cmake -DROOT=<source tree> -P check_layers.cmake
if(NOT ROOT)
    message(FATAL_ERROR "check_layers: give -DROOT=<source tree>")
endif()

# Qt's headers all start with Q (QWidget, QtCore/..., QtTest).
set(qt_header "#[ \t]*include[ \t]*[<\"]Q")
set(forbidden_core   "${qt_header}|#[ \t]*include[ \t]*\"(window|action|cli|web|app)/")
set(forbidden_action "${qt_header}|#[ \t]*include[ \t]*\"(window|cli|web|app)/")
set(forbidden_front  "${qt_header}|#[ \t]*include[ \t]*\"(window|app)/")

set(faults 0)
foreach(layer core action cli web)
    if(layer STREQUAL "core")
        set(forbidden "${forbidden_core}")
    elseif(layer STREQUAL "action")
        set(forbidden "${forbidden_action}")
    else()
        set(forbidden "${forbidden_front}")
    endif()
    file(GLOB_RECURSE sources LIST_DIRECTORIES false
         "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS lines)
            if(line MATCHES "${forbidden}")
                file(RELATIVE_PATH shown "${ROOT}" "${source}")
                message(SEND_ERROR "${shown}: ${layer}/ may not include this: ${line}")
                math(EXPR faults "${faults} + 1")
            endif()
        endforeach()
    endforeach()
endforeach()
if(faults EQUAL 0)
    message(STATUS "check_layers: every include stays within its layer")
endif()
