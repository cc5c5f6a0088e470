# recharge-table's own results for the tables of extdata (made with the
# package by the tree's recharge-table, numbers in hexadecimal).
expect_table <- function(name, ...) {
  table <- system.file("extdata", paste0(name, ".csv"), package = "recharge")
  out <- balance_frame(read_table(table, ...))
  expected <- utils::read.csv(test_path("expected", paste0(name, ".csv")),
                              colClasses = "character", check.names = FALSE,
                              na.strings = character())
  expect_identical(out$id, expected[[1]])
  for (column in 2:12) {
    if (column == 7) {
      expect_identical(ifelse(is.na(out$method), "", as.character(out$method)), expected[[7]])
    } else {
      cells <- expected[[column]]
      expect_identical(out[[column]], as.numeric(ifelse(cells == "", NA, cells)),
                       label = names(out)[column])
    }
  }
  expect_identical(table_status(out), expected[[13]])
}

test_that("read_table and balance_frame give recharge-table's results bit for bit", {
  expect_table("soils")
  expect_table("soils_semicolon")
  expect_table("units", output_units = "mm")
})

test_that("rows taken from a table keep their lines and their cells' reasons", {
  table <- read_table(system.file("extdata", "soils.csv", package = "recharge"))
  rows <- table[c("30", "23", "2"), ]
  out <- balance_frame(rows)
  expect_identical(table_status(out), c(
    "input error: line 30: 27 fields where the header has 28",
    "input error: line 23: zr: \"6o\" is not a number", "ok"))
  rows$zr[2] <- "60"
  expect_identical(as.character(balance_frame(rows)$status), c("input error", "ok", "ok"))
})

test_that("a frame's text cells are read as the table reads them", {
  frame <- data.frame(P = c("60", " 6.0e1 ", "60,0"), ETp = 55, Ps = 30, ETps = 40, Cs = 0.3,
                      zr = 60, zgw = 200, class = 1, note = "x")
  expect_warning(out <- balance_frame(frame), "ignoring the column note")
  expect_identical(out$R[1:2], c(sand_R, sand_R))
  expect_identical(out$input_error[[3]], "P: \"60,0\": a comma in a table with decimal points")
  expect_error(balance_frame(frame[, -1]), "the frame has no column P")
})

test_that("a table refused as a whole is an R error", {
  file <- tempfile(fileext = ".csv")
  writeLines("id,P,ETp", file)
  expect_error(read_table(file), "no column Ps")
  expect_error(read_table(tempfile()), "No such file")
})
