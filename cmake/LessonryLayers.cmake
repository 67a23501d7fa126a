# Which layer each source file of src/ belongs to. Used by the build (to
# give every library its files) and by check-layers.cmake (to refuse an
# include that goes up a layer), so both always agree.
#
# The layers, lowest first; each library links only the ones below it:
#   platform  src/platform/ top level: our stand-ins for platform services
#             (Qt Core and Network only). Each sub-folder src/platform/<name>/
#             is a vendor stand-in of its own, on the same level.
#   core      everything that needs no widgets: src/ top level, utility/,
#             mgr/ (with http/ and message/), biz/.
#   ui        utility/widget/, widget/, and the few files elsewhere that
#             show widgets.
#   app       the application objects and the main loop: what opens the
#             first window and restarts the program.
# main.cpp and role/ are not in any library: each executable compiles them.
set(LESSONRY_LAYERS platform core ui app)

# Files whose folder does not say their layer, by path without suffix.
set(LESSONRY_LAYER_EXCEPTIONS
    "mgr/appmainloop=app"
    "mgr/baseapplication=app"
    "mgr/studentapplication=app"
    "mgr/teacherapplication=app"
    # Puts a downloaded picture into a widget's style sheet.
    "mgr/http/networkimagereplyholder=ui")

# Sets out_var to the layer of a path relative to src/ ("" for main.cpp
# and role/, "vendor:<name>" for a file of src/platform/<name>/).
function(lessonry_layer_of relpath out_var)
    string(REGEX REPLACE "\\.[^./]*$" "" stem "${relpath}")
    foreach(exception IN LISTS LESSONRY_LAYER_EXCEPTIONS)
        string(REPLACE "=" ";" pair "${exception}")
        list(GET pair 0 exception_stem)
        list(GET pair 1 exception_layer)
        if(stem STREQUAL exception_stem)
            set(${out_var} ${exception_layer} PARENT_SCOPE)
            return()
        endif()
    endforeach()
    if(relpath MATCHES "^main\\.cpp$" OR relpath MATCHES "^role/")
        set(layer "")
    elseif(relpath MATCHES "^platform/([^/]+)/")
        set(layer "vendor:${CMAKE_MATCH_1}")
    elseif(relpath MATCHES "^platform/")
        set(layer platform)
    elseif(relpath MATCHES "^(utility/widget|widget)/")
        set(layer ui)
    else()
        set(layer core)
    endif()
    set(${out_var} ${layer} PARENT_SCOPE)
endfunction()

# Sets out_var to the rank of a layer: 0 for platform and the vendor
# stand-ins, up to 3 for app; main.cpp and role/ rank above everything.
function(lessonry_layer_rank layer out_var)
    if(layer MATCHES "^vendor:")
        set(rank 0)
    elseif(layer STREQUAL "")
        set(rank 4)
    else()
        list(FIND LESSONRY_LAYERS ${layer} rank)
    endif()
    set(${out_var} ${rank} PARENT_SCOPE)
endfunction()
