# The fuzz targets' committed corpora, replayed by every test run with the
# compiler at hand (fuzz/replay_main.cc), uninstrumented, and the inputs kept
# for replay alone (fuzz/regressions): too large to seed a fuzz run, whose
# inputs libFuzzer caps at the size of its largest seed.
set(fuzz_dir ${PROJECT_SOURCE_DIR}/fuzz)
foreach(target list_input:recharge_console number_output:recharge_console
               csv_reader:recharge_table_io)
  string(REPLACE ":" ";" parts ${target})
  list(GET parts 0 name)
  list(GET parts 1 library)
  add_executable(replay_${name} ${fuzz_dir}/${name}_fuzzer.cc ${fuzz_dir}/replay_main.cc)
  target_link_libraries(replay_${name} PRIVATE ${library})
  file(GLOB kept ${fuzz_dir}/regressions/${name}/*)
  add_test(NAME FuzzCorpus.${name} COMMAND replay_${name} ${fuzz_dir}/corpus/${name} ${kept})
endforeach()
