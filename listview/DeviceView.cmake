# The device list view on the extended list control: columns, icons, sorting, context menu,
# the search cycle with its endpoint, and the command target of the frame.
vantor_add_library(vantor_deviceview
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexViewCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexViewRows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexViewSearch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexView.h
  ${CMAKE_CURRENT_LIST_DIR}/NetworkMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NetworkMessages.h
)
target_link_libraries(vantor_deviceview
  PUBLIC vantor_listviewex vantor_framework vantor_protocol vantor_commands vantor_devicelogic Qt6::Widgets
    Qt6::Network
  PRIVATE vantor_defaultbrowser vantor_resources vantor_strings)
