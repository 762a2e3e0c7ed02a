# Copies the library template into the program folder. Files that already
# exist there are the user's data and are never overwritten; missing ones
# (a sound added in a later version, say) are added.
file(GLOB_RECURSE template_files RELATIVE ${SOURCE} ${SOURCE}/*)
foreach(rel IN LISTS template_files)
    if(NOT EXISTS ${DEST}/${rel})
        get_filename_component(dir ${DEST}/${rel} DIRECTORY)
        file(MAKE_DIRECTORY ${dir})
        file(COPY_FILE ${SOURCE}/${rel} ${DEST}/${rel})
    endif()
endforeach()
file(MAKE_DIRECTORY ${DEST}/Data ${DEST}/Sound ${DEST}/Images)
