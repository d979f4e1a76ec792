# Widget-free rules of the device list: row order and sort parameters.
vantor_add_library(vantor_devicelogic
  ${CMAKE_CURRENT_LIST_DIR}/DeviceRowOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceRowOrder.h
  ${CMAKE_CURRENT_LIST_DIR}/OrderedRowKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OrderedRowKeys.h)
target_link_libraries(vantor_devicelogic PUBLIC vantor_protocol Qt6::Gui)
