qp_bench(eventkit_bench SOURCES eventkit_bench.cpp LIBS EventKit PkgConfig::LIBICAL)
