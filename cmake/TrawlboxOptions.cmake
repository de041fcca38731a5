# One interface target carries every warning, Qt strictness define and sanitizer flag;
# each of our targets links it, so third-party code is never built with them.
add_library(trawlbox_options INTERFACE)

target_compile_options(trawlbox_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wold-style-cast -Wnon-virtual-dtor
  -Woverloaded-virtual -Wconversion -Wsign-conversion)
target_compile_definitions(trawlbox_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_URL_CAST_FROM_STRING
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)

if(TRAWLBOX_WERROR)
  target_compile_options(trawlbox_options INTERFACE -Werror)
endif()

if(TRAWLBOX_SANITIZE)
  target_compile_options(trawlbox_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(trawlbox_options INTERFACE -fsanitize=address,undefined)
endif()

if(NOT WIN32)
  set(CMAKE_AUTOMOC ON)
endif()

if(WIN32)
  # The wide functions only, and none of windows.h's min/max macros, nor its MessageBox macro,
  # which would rename the message box interface in a file that includes windows.h first.
  target_compile_definitions(trawlbox_options INTERFACE
    UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX NOMB _WIN32_WINNT=0x0A00
    NTDDI_VERSION=0x0A000000)
endif()
