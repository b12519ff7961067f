select	"a /* b" from t -- /* not
/*
select
*/update