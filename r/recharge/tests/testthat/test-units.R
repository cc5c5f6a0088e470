test_that("a unit in a name, as an option and of a units object is the table's", {
  expect_identical(soil(P = NULL, `P [mm]` = 600)$R, sand_R)
  expect_identical(soil(P = 600, ETp = 550, Ps = 300, ETps = 400, zr = 600, zgw = 2000,
                        units = "mm")$R, sand_R)
  skip_if_not_installed("units")
  expect_identical(soil(P = units::set_units(600, mm), zgw = units::set_units(2, m))$R, sand_R)
})

test_that("units of the wrong kind are refused by name", {
  expect_error(soil(zgw = NULL, `zgw [1/m]` = 2),
               "argument zgw \\[1/m\\]: zgw takes a length \\(mm, cm, m, in, \\.\\.\\.\\), not \"1/m\"")
  expect_error(soil(units = "kg"), "units: ")
  expect_error(soil(output_units = "s"), "output_units: ")
  skip_if_not_installed("units")
  expect_error(soil(zgw = NULL, `zgw [cm]` = units::set_units(2, m)),
               "the name gives the unit cm, the units object m")
})

test_that("results in the output unit are the table's, as units objects on request", {
  r <- soil(output_units = "mm")
  expect_identical(r$R, sand_R_mm)
  expect_identical(attr(r, "units")[["R"]], "mm/year")
  skip_if_not_installed("units")
  r <- soil(output_units = "mm", with_units = TRUE)
  expect_s3_class(r$R, "units")
  expect_identical(units::deparse_unit(r$R), "mm year-1")
  expect_identical(as.numeric(r$R), sand_R_mm)
})
