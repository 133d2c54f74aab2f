# The library of what the fuzz targets share, for the fuzz build and for the test build's
# replay programs alike.
function(tessary_add_fuzz_support name)
  set(dir ${CMAKE_SOURCE_DIR}/fuzz)
  add_library(${name} STATIC ${dir}/FuzzSupport.cpp ${dir}/ModelHarness.cpp ${dir}/TextureHarness.cpp)
  target_include_directories(${name} PUBLIC ${dir})
  target_link_libraries(${name} PUBLIC tessary_core)
  if(TARGET tessary_preview)
    target_link_libraries(${name} PUBLIC tessary_preview OpenGL::EGL)
    target_compile_definitions(${name} PUBLIC TESSARY_HAVE_PREVIEW=1)
  endif()
endfunction()
