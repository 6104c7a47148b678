# The emv tests build their chains with the test-support chain builder.
target_link_libraries(${_exe} PRIVATE tarvello_emv_testchain)
