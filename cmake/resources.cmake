# Embeds every file of res/ (pictures, icon) as a byte array; res/resources.h looks them up
# by file name.
file(GLOB RES_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.bmp)
set(RES_CPP ${CMAKE_BINARY_DIR}/generated/resources_data.cpp)
add_custom_command(
  OUTPUT ${RES_CPP}
  COMMAND ${CMAKE_COMMAND} -DOUT=${RES_CPP} -DRES_DIR=${CMAKE_SOURCE_DIR}/res -P ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
  DEPENDS ${RES_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed.cmake
  COMMENT "Embedding resources")
add_library(fovi_res STATIC ${RES_CPP} ${CMAKE_SOURCE_DIR}/res/resources.h)
target_include_directories(fovi_res PUBLIC ${CMAKE_SOURCE_DIR}/res)
