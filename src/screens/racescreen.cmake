# The race screen; its simulation brings the race scene, panels and effects.
add_library(pod_racescreen STATIC
  ${CMAKE_CURRENT_LIST_DIR}/staterace.cpp
)
target_include_directories(pod_racescreen PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(pod_racescreen PUBLIC pod_simulation pod_app vexa sfmlutils qutils)
