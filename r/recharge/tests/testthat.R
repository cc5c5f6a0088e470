library(testthat)
library(recharge)

test_check("recharge")
