qp_bench(tweak_bench SOURCES tweak_bench.cpp tweak_pairs_bench.cpp TweakBenchDevice.cpp LIBS QuillpaneCore SpringBoard PkgConfig::LIBICAL)
