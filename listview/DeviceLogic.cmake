# Widget-free rules of the device list: row order, sort parameters and the row record store.
vantor_add_library(vantor_devicelogic
  ${CMAKE_CURRENT_LIST_DIR}/DeviceRowOrder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DeviceRowOrder.h
  ${CMAKE_CURRENT_LIST_DIR}/OrderedRowKeys.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OrderedRowKeys.h
  ${CMAKE_CURRENT_LIST_DIR}/RowInterfaces.h
  ${CMAKE_CURRENT_LIST_DIR}/RowRecordStore.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RowRecordStore.h)
target_link_libraries(vantor_devicelogic PUBLIC vantor_protocol vantor_listcontrol_api Qt6::Gui)
