# The extended list control. vantor_listbase is the widget-free extension (column table,
# item records, sort key, saved layout) and talks to the control through ListControlApi only;
# vantor_listviewex joins it with the real control widget.
add_library(vantor_listbase STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CListBase.h ${CMAKE_CURRENT_LIST_DIR}/CListBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColumnLayout.h ${CMAKE_CURRENT_LIST_DIR}/ColumnLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShadeTint.h ${CMAKE_CURRENT_LIST_DIR}/ShadeTint.cpp)
# Only the control's headers are used here (the project root is on the include path).
target_link_libraries(vantor_listbase PUBLIC Qt6::Gui)

if(TARGET vantor_listcontrol AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/CListViewEx.cpp)
  add_library(vantor_listviewex STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CListViewEx.h ${CMAKE_CURRENT_LIST_DIR}/CListViewEx.cpp)
  target_link_libraries(vantor_listviewex PUBLIC vantor_listbase vantor_listcontrol Qt6::Widgets)
endif()
