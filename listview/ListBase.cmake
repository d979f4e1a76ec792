# The extended list control. vantor_listbase is the widget-free extension (column table,
# item records, sort key, saved layout) and talks to the control through ListControlApi only;
# vantor_listviewex joins it with the real control widget.
vantor_add_library(vantor_listbase
  ${CMAKE_CURRENT_LIST_DIR}/CListBase.h ${CMAKE_CURRENT_LIST_DIR}/CListBase.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CListBaseColumns.cpp ${CMAKE_CURRENT_LIST_DIR}/CListBaseDraw.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CListBaseOwnerDraw.cpp ${CMAKE_CURRENT_LIST_DIR}/CListBaseOwnerInput.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColumnTable.h ${CMAKE_CURRENT_LIST_DIR}/ColumnTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/RecordTable.h ${CMAKE_CURRENT_LIST_DIR}/RecordTable.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PackedCells.h ${CMAKE_CURRENT_LIST_DIR}/PackedCells.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ColumnLayout.h ${CMAKE_CURRENT_LIST_DIR}/ColumnLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShadeTint.h ${CMAKE_CURRENT_LIST_DIR}/ShadeTint.cpp)
# The control's call surface and image lists only: no widget.
target_link_libraries(vantor_listbase PUBLIC vantor_listcontrol_api Qt6::Gui)

vantor_add_library(vantor_listviewex
  ${CMAKE_CURRENT_LIST_DIR}/CListViewEx.h ${CMAKE_CURRENT_LIST_DIR}/CListViewEx.cpp)
target_link_libraries(vantor_listviewex PUBLIC vantor_listbase vantor_listcontrol Qt6::Widgets)
