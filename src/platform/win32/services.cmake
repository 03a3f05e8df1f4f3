# The platform services over Win32, COM and WMI. The moniker and registry-path readers are pure
# and are compiled into the Linux tests as well.
add_library(velmora_win32_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/wide.cpp
  ${CMAKE_CURRENT_LIST_DIR}/moniker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/spooler_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_library.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmi_values.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wmi_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/log_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/paint_wait.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printer_network_services.cpp
  ${CMAKE_CURRENT_LIST_DIR}/machine.cpp
)
target_link_libraries(velmora_win32_platform PUBLIC
  velmora_text velmora_platform velmora_command velmora_ipp ws2_32 ole32 oleaut32 wbemuuid uuid shlwapi shell32 user32 advapi32 kernel32)
target_compile_definitions(velmora_win32_platform PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
