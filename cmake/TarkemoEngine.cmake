# The engine is one library per subsystem folder so that a subsystem and its tests
# build on their own; tarkemo_engine bundles them for the programs.
set(TARKEMO_ENGINE_DIR ${PROJECT_SOURCE_DIR}/src/engine)

function(tarkemo_engine_part name)
  cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${TARKEMO_ENGINE_DIR}/${name}/*.cpp)
  if(NOT sources)
    # A subsystem without sources yet still gives its name to the programs that link it.
    add_library(tarkemo_${name} INTERFACE)
    target_include_directories(tarkemo_${name} INTERFACE ${PROJECT_SOURCE_DIR}/src/engine)
    target_link_libraries(tarkemo_${name} INTERFACE ${ARG_DEPENDS})
    return()
  endif()
  add_library(tarkemo_${name} STATIC ${sources})
  target_include_directories(tarkemo_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src/engine
                                                    ${PROJECT_BINARY_DIR}/generated)
  target_link_libraries(tarkemo_${name} PUBLIC ${ARG_DEPENDS} OpenMP::OpenMP_CXX Threads::Threads
                                        PRIVATE tarkemo_warnings)
  target_compile_options(tarkemo_${name} PRIVATE $<$<CONFIG:Release>:-O3 -march=x86-64-v2>)
  if(TARKEMO_SANITIZE)
    target_link_options(tarkemo_${name} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

tarkemo_engine_part(image)
tarkemo_engine_part(ops DEPENDS tarkemo_image)
tarkemo_engine_part(document DEPENDS tarkemo_image)
tarkemo_engine_part(particles DEPENDS tarkemo_image)
tarkemo_engine_part(spectrum DEPENDS tarkemo_ops tarkemo_document tarkemo_image)

add_library(tarkemo_engine INTERFACE)
target_link_libraries(tarkemo_engine INTERFACE tarkemo_image tarkemo_ops tarkemo_document
                                               tarkemo_particles tarkemo_spectrum)
