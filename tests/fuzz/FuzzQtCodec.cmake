# The Qt readers (GIF, BMP, ICO, XPM, SVG, ...) behind the decode guard; needs a Qt build.
if(QM_WITH_QT)
  qm_fuzzer(fuzz_qt_codec SOURCES ${CMAKE_CURRENT_LIST_DIR}/FuzzQtCodec.cpp DEPS qm_codec_qt)
endif()
