# The Win32 forms backend: real windows and controls for the forms model. GetDpiForMonitor and
# the other per-monitor DPI functions are looked up at run time (ui/dpi.cpp) rather than
# imported, so the program still starts on Windows 7, where shcore.dll does not exist; comctl32
# is loaded from the system folder (ui/common_controls.cpp), as it is no known DLL.
enable_language(RC)

add_library(velmora_win32_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/win32_backend.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/form_paint.cpp
  ${CMAKE_CURRENT_LIST_DIR}/native_control.cpp
  ${CMAKE_CURRENT_LIST_DIR}/label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fonts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dpi.cpp
  ${CMAKE_CURRENT_LIST_DIR}/layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wide_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/proc_guard.cpp
  ${CMAKE_CURRENT_LIST_DIR}/common_controls.cpp
)
target_link_libraries(velmora_win32_ui PUBLIC velmora_forms velmora_win32_platform user32 gdi32)
target_compile_definitions(velmora_win32_ui PUBLIC UNICODE _UNICODE NOMINMAX)
