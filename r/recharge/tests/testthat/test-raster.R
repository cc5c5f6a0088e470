skip_if_not_installed("terra")

grid <- function(values, ...) {
  terra::rast(nrows = 4, ncols = 5, xmin = 0, xmax = 500, ymin = 0, ymax = 400,
              crs = "EPSG:25832", vals = values, ...)
}

test_that("a raster's cells are the soils of balance(), NA where not ok", {
  P <- grid(c(seq(40, 130, length.out = 18), NA, 60))
  zr <- grid(c(rep(60, 19), -60))
  out <- balance_rast(P = P, zr = zr, ETp = 55, Ps = 30, ETps = 40, Cs = 0.3, zgw = 200,
                      class = 1)
  expect_true(terra::compareGeom(out, P))
  same <- soil(P = terra::values(P)[, 1], zr = terra::values(zr)[, 1])
  ok <- same$status == "ok"
  expect_identical(terra::values(out$R)[, 1], ifelse(ok, same$R, NA_real_))
  status <- terra::levels(out$status)[[1]]
  expect_identical(status$status[match(terra::values(out$status)[, 1], status$value)],
                   as.character(same$status))
  expect_identical(as.character(same$status[19:20]), c("no data", "M6201 pow: DOMAIN error"))
})

test_that("a layer on another grid is refused by name", {
  P <- grid(60)
  zgw <- terra::shift(grid(200), dx = 50)
  expect_error(balance_rast(P = P, zgw = zgw, ETp = 55, Ps = 30, ETps = 40, Cs = 0.3, zr = 60,
                            class = 1), "zgw is not on the grid of P")
  expect_error(balance_rast(P = c(P, P), ETp = 55), "P: one layer is needed, not 2")
})

test_that("a raster in blocks gives the cells of one call", {
  P <- terra::rast(nrows = 60, ncols = 50, xmin = 0, xmax = 500, ymin = 0, ymax = 600,
                   crs = "EPSG:25832", vals = seq(400, 1000, length.out = 3000))
  steps <- terra::terraOptions(print = FALSE)$steps
  terra::terraOptions(steps = 7)
  on.exit(terra::terraOptions(steps = steps))
  out <- balance_rast(P = P, ETp = 550, Ps = 300, ETps = 400, Cs = 0.3, zr = 600, zgw = 2000,
                      class = 14, units = "mm")
  same <- balance(P = terra::values(P)[, 1], ETp = 550, Ps = 300, ETps = 400, Cs = 0.3,
                  zr = 600, zgw = 2000, class = 14, units = "mm")
  expect_identical(terra::values(out$R)[, 1], same$R)
})
