# The dialogue's transcripts, one test each, run by transcript.cmake under the
# cross build's emulator: node for WebAssembly (the wasm preset), whose build
# has no GoogleTest.
file(GLOB transcripts CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/app/transcripts/*.txt)
foreach(transcript IN LISTS transcripts)
  get_filename_component(name ${transcript} NAME_WE)
  add_test(NAME Transcripts.${name}
           COMMAND ${CMAKE_COMMAND}
             -DPROGRAM=$<TARGET_FILE:recharge>
             "-DEMULATOR=${CMAKE_CROSSCOMPILING_EMULATOR}"
             -DTRANSCRIPT=${transcript}
             -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/transcripts/${name}
             -P ${CMAKE_CURRENT_SOURCE_DIR}/transcript.cmake)
endforeach()
