test_that("one soil gives the table's very numbers", {
  r <- soil()
  expect_identical(r$ETa, sand_ETa)
  expect_identical(r$R, sand_R)
  expect_identical(as.character(r$method), "bagrov")
  expect_identical(as.character(r$status), "ok")
  expect_true(is.na(r$g) && is.na(r$h_an) && is.na(r$input_error))
})

test_that("inputs recycle as R recycles, and lengths that do not divide are refused", {
  r <- soil(P = c(60, 45), class = c(1, 24, 1, 24))
  expect_equal(nrow(r), 4)
  expect_identical(r$R[[1]], sand_R)
  expect_identical(r[3, "R"], r[1, "R"])
  expect_identical(r[4, "R"], soil(P = 45, class = 24)$R)
  expect_error(soil(P = c(60, 45, 50), class = c(1, 24)), "class: 2 values do not recycle to 3")
  expect_equal(nrow(soil(P = numeric())), 0)
  expect_error(balance(60, ETp = 55), "named")
})

test_that("NA is a value not given", {
  r <- soil(P = c(NA, 60), Cs = NA, anaerobiosis = NA,
            rain4 = 5, rain5 = 6, rain6 = 7, rain7 = 8, rain8 = 6, rain9 = 5,
            etp4 = 4, etp5 = 8, etp6 = 10, etp7 = 9, etp8 = 7, etp9 = c(4, NA))
  expect_identical(as.character(r$status), c("no data", "input error"))
  expect_identical(r$input_error[[2]], "no Cs and no complete monthly data")
  expect_true(all(is.na(r$R)))
  derived <- soil(Cs = NA, rain4 = 5, rain5 = 6, rain6 = 7, rain7 = 8, rain8 = 6, rain9 = 5,
                  etp4 = 4, etp5 = 8, etp6 = 10, etp7 = 9, etp8 = 7, etp9 = 4)
  expect_identical(derived$Cs, 1 / 6)
  expect_identical(soil(anaerobiosis = NA)$R, sand_R)
})

test_that("a row's fault is its status, beside the rows that are ok", {
  r <- soil(zr = c(60, -60), class = c(1, 35))
  expect_identical(as.character(r$status), c("ok", "input error"))
  r <- soil(zr = c(60, -60, 60), ETp = c(55, 55, 0))
  expect_identical(as.character(r$status),
                   c("ok", "M6201 pow: DOMAIN error", "M6103 floating-point error: divide by zero"))
  expect_true(r$Wmax[[2]] < 0 && is.na(r$R[[2]]))
  expect_identical(soil(class = 35)$input_error, "class: 35 is not a soil class (0 to 34)")
  expect_identical(soil(zgw = Inf)$input_error, "zgw: inf is not a finite number")
})

test_that("unknown names warn, and a required one missing is refused", {
  expect_warning(soil(clas = 1), "ignoring the argument clas \\(did you mean class\\?\\)")
  expect_error(balance(P = 60), "no argument ETp")
})

test_that("the results do not depend on the threads", {
  P <- seq(20, 140, length.out = 3000)
  one <- soil(P = P, zr = rep(c(30, 60, 90), 1000), class = rep(1:30, 100), threads = 1)
  two <- soil(P = P, zr = rep(c(30, 60, 90), 1000), class = rep(1:30, 100), threads = 2)
  expect_identical(one, two)
  expect_error(soil(threads = 0), "threads")
})
