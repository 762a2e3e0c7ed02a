# Copies the library template into the program folder. Files that already
# exist there are the user's data and are never overwritten; missing ones
# (a sound added in a later version, say) are added.
#
# DEMO, when given, is the generated demo library. It goes in only where no
# library exists yet: no subject index, or an empty one beside no subject
# folder. A teacher's library is never touched.
if(DEFINED DEMO AND EXISTS ${DEMO}/Data/Index.dat)
    set(no_library FALSE)
    if(NOT EXISTS ${DEST}/Data/Index.dat)
        set(no_library TRUE)
    else()
        file(SIZE ${DEST}/Data/Index.dat index_size)
        file(GLOB data_entries LIST_DIRECTORIES true ${DEST}/Data/*)
        list(REMOVE_ITEM data_entries ${DEST}/Data/Index.dat)
        if(index_size EQUAL 0 AND NOT data_entries)
            set(no_library TRUE)
        endif()
    endif()
    if(no_library)
        file(MAKE_DIRECTORY ${DEST})
        file(COPY ${DEMO}/Data DESTINATION ${DEST})
        message(STATUS "Demo library placed in ${DEST}/Data")
    endif()
endif()

file(GLOB_RECURSE template_files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS template_files)
    if(NOT EXISTS ${DEST}/${rel})
        get_filename_component(dir ${DEST}/${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY_FILE ${SOURCE}/${rel} ${DEST}/${rel})
    endif()
endforeach()
file(MAKE_DIRECTORY ${DEST}/Data ${DEST}/Sound ${DEST}/Images)
