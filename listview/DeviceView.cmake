# The device list view: the search cycle, its endpoint and the command target of the frame.
add_library(vantor_deviceview STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexView.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CDorvexView.h
)
target_link_libraries(vantor_deviceview
  PUBLIC vantor_framework vantor_protocol Qt6::Widgets Qt6::Network
  PRIVATE vantor_protocol_ui vantor_resources vantor_strings)
