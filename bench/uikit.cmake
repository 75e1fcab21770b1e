qp_bench(uikit_bench SOURCES uikit_bench.cpp LIBS UIKit)
