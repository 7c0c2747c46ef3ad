dnl config.m4 - build of the PHP extension "SEPA" with phpize.
dnl
dnl The extension carries its own copy of the library core: every core/*/*.cpp and
dnl data/*.cpp of the source tree is compiled into SEPA.so (libsepa.so is not used).
dnl The file list is taken by the shell at configure time, so new core files are
dnl picked up by the next ./configure.
dnl
dnl   phpize && ./configure [--with-sepa-root=DIR] && make && make test

PHP_ARG_ENABLE([sepa],
  [whether to enable the SEPA extension],
  [AS_HELP_STRING([--disable-sepa], [Do not build the SEPA extension])],
  [yes])

PHP_ARG_WITH([sepa-root],
  [for the source tree of the SEPA library],
  [AS_HELP_STRING([--with-sepa-root=DIR],
    [Source tree of the library (default: two levels above this directory)])],
  [no],
  [no])

if test "$PHP_SEPA" != "no"; then
  PHP_REQUIRE_CXX()

  if test "$PHP_SEPA_ROOT" = "no" || test "$PHP_SEPA_ROOT" = "yes"; then
    PHP_SEPA_ROOT="$abs_srcdir/../.."
  fi
  SEPA_ROOT=`cd "$PHP_SEPA_ROOT" 2>/dev/null && pwd`
  if test -z "$SEPA_ROOT" || test ! -f "$SEPA_ROOT/include/sepa.h"; then
    AC_MSG_ERROR([include/sepa.h not found under $PHP_SEPA_ROOT; use --with-sepa-root=DIR])
  fi
  AC_MSG_RESULT([library sources: $SEPA_ROOT])

  dnl The statement readers need expat (XML) and libzip (ZIP archives).
  AC_PATH_PROG(PKG_CONFIG, pkg-config, no)
  if test "$PKG_CONFIG" = "no" || ! $PKG_CONFIG --exists expat libzip; then
    AC_MSG_ERROR([expat and libzip not found (Debian: libexpat1-dev libzip-dev)])
  fi
  SEPA_DEP_CFLAGS=`$PKG_CONFIG --cflags expat libzip`
  SEPA_DEP_LIBS=`$PKG_CONFIG --libs expat libzip`

  dnl The version is written once, in project(sepa VERSION x.y.z) of the top-level
  dnl CMakeLists.txt; sepa_version.h is made from it as the CMake build makes it.
  sepa_version=`sed -n 's/^project(sepa VERSION \([[0-9.]]*\).*/\1/p' "$SEPA_ROOT/CMakeLists.txt"`
  sepa_major=`echo "$sepa_version" | cut -d. -f1`
  sepa_minor=`echo "$sepa_version" | cut -d. -f2`
  sepa_patch=`echo "$sepa_version" | cut -d. -f3`
  if test -z "$sepa_major" || test -z "$sepa_minor" || test -z "$sepa_patch"; then
    AC_MSG_ERROR([no project(sepa VERSION x.y.z) in $SEPA_ROOT/CMakeLists.txt])
  fi
  AC_MSG_RESULT([library version: $sepa_version])
  SEPA_GENERATED_INCLUDE="$abs_builddir/sepa_include"
  mkdir -p "$SEPA_GENERATED_INCLUDE"
  sed -e "s/@PROJECT_VERSION_MAJOR@/$sepa_major/g" -e "s/@PROJECT_VERSION_MINOR@/$sepa_minor/g" \
      -e "s/@PROJECT_VERSION_PATCH@/$sepa_patch/g" \
      "$SEPA_ROOT/include/sepa_version.h.in" >"$SEPA_GENERATED_INCLUDE/sepa_version.h"

  SEPA_CXXFLAGS="-std=c++20 -I$SEPA_ROOT/include -I$SEPA_GENERATED_INCLUDE -I$SEPA_ROOT $SEPA_DEP_CFLAGS -Wall -Wextra -Werror"
  SEPA_EXT_SOURCES="sepa_module.cpp sepa_message_class.cpp sepa_lookups.cpp sepa_stmt_parser_class.cpp"

  PHP_NEW_EXTENSION(SEPA, $SEPA_EXT_SOURCES, $ext_shared, , [$SEPA_CXXFLAGS -DZEND_ENABLE_STATIC_TSRMLS_CACHE=1], cxx)

  dnl The core objects, one compile rule each, written like those of the extension's
  dnl own sources but reading the files where they are (objects go to sepa_core/).
  PHP_ADD_BUILD_DIR([$ext_builddir/sepa_core])
  sepa_core_count=0
  for sepa_src in "$SEPA_ROOT"/core/*/*.cpp "$SEPA_ROOT"/data/*.cpp; do
    test -f "$sepa_src" || continue
    sepa_rel=`echo "$sepa_src" | sed -e "s|^$SEPA_ROOT/||" -e 's|\.cpp$||' -e 's|/|_|g'`
    sepa_obj="sepa_core/$sepa_rel"
    shared_objects_SEPA="$shared_objects_SEPA $sepa_obj.lo"
    cat >>Makefile.objects <<SEPA_RULE
-include $sepa_obj.dep
$sepa_obj.lo: $sepa_src
	$shared_cxx_pre $shared_cxx_meta $SEPA_CXXFLAGS -DSEPA_BUILDING_LIBRARY -c $sepa_src -o $sepa_obj.lo $shared_cxx_post -MMD -MF $sepa_obj.dep -MT $sepa_obj.lo
SEPA_RULE
    sepa_core_count=`expr $sepa_core_count + 1`
  done
  AC_MSG_RESULT([library core files: $sepa_core_count])

  dnl Only get_module leaves SEPA.so: the core's sepa_* functions stay inside, so they
  dnl cannot clash with another copy of the library loaded into the same process.
  PHP_ADD_LIBRARY(stdc++, 1, SEPA_SHARED_LIBADD)
  SEPA_SHARED_LIBADD="$SEPA_SHARED_LIBADD $SEPA_DEP_LIBS"
  SEPA_SHARED_LIBADD="$SEPA_SHARED_LIBADD -Wl,--version-script=$abs_srcdir/SEPA.map"
  PHP_SUBST(SEPA_SHARED_LIBADD)
fi
