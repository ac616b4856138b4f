# cmake -DSOURCES=<data folder> -DGENERATORS=<a,b,...> -DSTAGE=<stage> -DMERGED=<out> -P data_merge.cmake
# Gathers the demo data set into one tree laid out by archive name, for the
# packer: each generator's output (<stage>-<name>) into <stage>, then <stage>
# into <out>, then the hand-written sources into <out>/data. A file made
# twice stops the build: the archive could keep only one of them.
function(gather from into)
  file(GLOB_RECURSE files RELATIVE ${from} ${from}/*)
  foreach(file IN LISTS files)
    if(EXISTS ${into}/${file})
      message(FATAL_ERROR "data set: ${file} is made twice (${from} and ${into})")
    endif()
    get_filename_component(folder ${into}/${file} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(COPY_FILE ${from}/${file} ${into}/${file})
  endforeach()
endfunction()

string(REPLACE "," ";" GENERATORS "${GENERATORS}")
file(MAKE_DIRECTORY ${STAGE})
foreach(generator IN LISTS GENERATORS)
  gather(${STAGE}-${generator} ${STAGE})
  file(REMOVE_RECURSE ${STAGE}-${generator})
endforeach()
gather(${STAGE} ${MERGED})
file(GLOB_RECURSE sources RELATIVE ${SOURCES} ${SOURCES}/*)
list(REMOVE_ITEM sources CMakeLists.txt README.md)
foreach(file IN LISTS sources)
  if(EXISTS ${MERGED}/data/${file})
    message(FATAL_ERROR "data set: data/${file} is both written by hand and generated")
  endif()
  get_filename_component(folder ${MERGED}/data/${file} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${SOURCES}/${file} ${MERGED}/data/${file})
endforeach()
