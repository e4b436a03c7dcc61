#The About box's texts, links and banner rule.
target_sources(qm_core PRIVATE about.cpp)
