# Tests of the genetic planners and their brains.
target_sources(test_brains PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/test_gene.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_geneticevolution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_geneticevolution_variants.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_geneticbrains.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_goldenhashes.cpp
)
