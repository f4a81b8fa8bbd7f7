# Installing to a prefix (cmake --install build --prefix DIR): the programs, libtholwin (in
# lib/tessaron), the images, help pages and VER.bin under share/tessaron, and the desktop
# integration files where desktops and udev look for them. Included at the end of the top-level
# CMakeLists.txt, once every program target exists.

set(TESSARON_FIRMWARE_VERSION "1.5" CACHE STRING
    "Firmware version the updater ships, written to VER.bin (one digit, dot, one digit)")
set(TESSARON_UDEV_RULES_DIR "lib/udev/rules.d" CACHE STRING
    "Where the udev rule is installed, relative to the prefix (udev reads /usr/lib/udev/rules.d)")
# The AppStream file as installed, with the application id filled in.
set(TESSARON_METAINFO ${PROJECT_BINARY_DIR}/packaging/${TESSARON_APP_ID}.metainfo.xml)

# The installed programs find libtholwin in its folder, wherever the prefix is moved.
file(RELATIVE_PATH _tessaron_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${TESSARON_INSTALL_PRIVATE_LIBDIR})
foreach(_program tessaron tessaronctl)
  if(TARGET ${_program})
    set_target_properties(${_program} PROPERTIES INSTALL_RPATH "$ORIGIN/${_tessaron_bin_to_lib}")
  endif()
endforeach()

if(TESSARON_GUI)
  add_subdirectory(${PROJECT_SOURCE_DIR}/tools/icon_generator
                   ${PROJECT_BINARY_DIR}/tools/icon_generator)
endif()
add_subdirectory(${PROJECT_SOURCE_DIR}/packaging ${PROJECT_BINARY_DIR}/packaging)

# The window's session-bus interface, where D-Bus tools look for interface descriptions.
if(TESSARON_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/org.tessaron.tessaron.Keyboard1.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/dbus-1/interfaces)
endif()
