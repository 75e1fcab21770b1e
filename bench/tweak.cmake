qp_bench(tweak_bench SOURCES tweak_bench.cpp LIBS QuillpaneCore SpringBoard PkgConfig::LIBICAL)
