# The genetic planners and their threaded brains.
target_sources(pod_brains PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/genome.cpp
  ${CMAKE_CURRENT_LIST_DIR}/genetichelpers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticevolution.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticevolutiongrouped.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticevolutionseparate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticevolutiontimeattack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticbraingrouped.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticbrainseparate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/geneticbraintimeattack.cpp
)
