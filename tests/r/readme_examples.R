# The README's R examples run as written (Rscript readme_examples.R
# README.md), in a temporary folder holding the README's soils.csv and, for
# the raster example, P.tif (mm a year), zgw.tif (m) and class.tif on a grid
# of 40 x 30 cells of 25 m. Each example must run without an error; the
# table's must give the README's statuses, the raster's its results file.
readme <- readLines(commandArgs(TRUE)[1], encoding = "UTF-8")

# The fenced blocks of `language` in `lines`, each as its lines.
fenced <- function(lines, language) {
  blocks <- list()
  start <- NA
  for (i in seq_along(lines)) {
    if (is.na(start) && startsWith(lines[i], "```")) {
      start <- i
    } else if (!is.na(start) && lines[i] == "```") {
      if (lines[start] == paste0("```", language)) {
        blocks[[length(blocks) + 1]] <- lines[seq(start + 1, length.out = i - start - 1)]
      }
      start <- NA
    }
  }
  blocks
}
examples <- fenced(readme[which(readme == "## R"):which(readme == "## QGIS")], "r")
soils <- fenced(readme[grep("An example, `soils.csv`:", readme, fixed = TRUE):length(readme)],
                "")[[1]]

folder <- tempfile("readme")
dir.create(folder)
setwd(folder)
writeLines(soils, "soils.csv")
grid <- terra::rast(nrows = 30, ncols = 40, xmin = 0, xmax = 1000, ymin = 0, ymax = 750,
                    crs = "EPSG:25832")
terra::writeRaster(terra::init(grid, function(n) seq(550, 750, length.out = n)), "P.tif")
terra::writeRaster(terra::init(grid, function(n) rep(c(1, 2, 5), length.out = n)), "zgw.tif")
terra::writeRaster(terra::init(grid, function(n) rep(c(1, 17, 24), length.out = n)),
                   "class.tif")

stopifnot(length(examples) == 2)
grDevices::pdf(NULL)
for (example in examples) eval(parse(text = example), envir = globalenv())
stopifnot(file.exists("results.tif"))
table_out <- balance_frame(read_table("soils.csv"))
stopifnot(identical(as.character(table_out$status), c("ok", "ok", "ok", "input error")))
cat("README's R examples: ok\n")
