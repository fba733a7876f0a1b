# Fails when a source file includes a header from a folder above its own. The folders,
# lowest first; a folder may include itself and any folder before it, so no two folders
# can include each other. A folder missing from the list fails too, so that a new one
# is given its place.
#   cmake -DSOURCE_DIR=<src> -P CheckLayers.cmake
set(layers
    core/res
    core/base
    core/settings
    core/search
    core/format
    core/document
    core/view
    core/frame
    shell/framework
    shell/dialogs
    shell/view
    shell/frame
    shell/app
)

get_filename_component(SOURCE_DIR ${SOURCE_DIR} ABSOLUTE)
file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(faults "")
foreach(source ${sources})
    get_filename_component(folder ${source} DIRECTORY)
    list(FIND layers ${folder} rank)
    if(rank EQUAL -1)
        string(APPEND faults "\n  ${source}: folder ${folder} has no place in the layers")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
    foreach(line ${includes})
        string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" header "${line}")
        get_filename_component(target ${header} DIRECTORY)
        if(target STREQUAL "")
            continue() # a generated file beside the source, such as a .moc
        endif()
        list(FIND layers ${target} targetRank)
        if(targetRank EQUAL -1)
            string(APPEND faults "\n  ${source}: includes ${header} from outside the layers")
        elseif(targetRank GREATER rank)
            string(APPEND faults "\n  ${source}: includes ${header}, which lies above ${folder}")
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Include lines that point upwards:${faults}")
endif()
list(LENGTH sources count)
message(STATUS "${count} files include only their own folder and the folders below it")
