# Strict warnings for the project's own targets; third-party headers come in as SYSTEM.
function(nvrp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                                           -Wold-style-cast -Wcast-align -Woverloaded-virtual
                                           -Wconversion -Wno-sign-conversion -Werror)
  # GCC 12 reports std::string concatenations as overlapping copies at -O3 (GCC bug 105329).
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
  endif()
endfunction()

# Platform layers come in one file per service and operating system: "*_posix.cpp" is built
# everywhere but Windows, "*_win32.cpp" only for Windows.
function(nvrp_filter_platform_sources out_var)
  set(kept ${ARGN})
  if(WIN32)
    list(FILTER kept EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER kept EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${out_var} ${kept} PARENT_SCOPE)
endfunction()

# One static library per subsystem, made of every source file in its folder.
# A subsystem without sources yet is an interface library so that dependents still link.
function(nvrp_subsystem name)
  cmake_parse_arguments(ARG "" "" "DEPS;LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp)
  nvrp_filter_platform_sources(sources ${sources})
  set(target nvrp_${name})
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS} ${ARG_LIBS})
    nvrp_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS} ${ARG_LIBS})
  endif()
endfunction()
