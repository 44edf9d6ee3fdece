# Every parser of outside data has one entry point `LLVMFuzzerTestOneInput` in
# fuzz/<name>_fuzz.cpp and a seed corpus in fuzz/corpus/<name>/.
#  - Regular builds link the entry point with a small replay driver and register
#    a CTest test that feeds it every file of the corpus, so every test run
#    exercises the parser on its seeds.
#  - The `fuzz` preset (clang) links it with libFuzzer instead.
function(quelp_fuzz_target name)
  set(src ${CMAKE_CURRENT_SOURCE_DIR}/${name}_fuzz.cpp)
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(QUELP_FUZZ)
    add_executable(fuzz_${name} ${src})
    target_link_libraries(fuzz_${name} PRIVATE quelp_cli_options quelp_core)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(replay_${name} ${src} ${CMAKE_CURRENT_SOURCE_DIR}/replay_main.cpp)
    target_link_libraries(replay_${name} PRIVATE quelp_cli_options quelp_core)
    add_test(NAME fuzz_corpus_${name} COMMAND replay_${name} ${corpus})
  endif()
endfunction()
